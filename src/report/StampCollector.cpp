#include "report/StampCollector.h"

#include "core/Cp932.h"
#include "core/TextFile.h"
#include "report/StampLine.h"

#include <algorithm>

namespace {

// The place of a decoded name among the member's names, added when new. Beyond the places a stamp can hold a
// name counts as none.
std::uint16_t place_of_name(LogMember& m, const std::string& name) {
    const auto it = std::find(m.names.begin(), m.names.end(), name);
    if (it != m.names.end()) {
        return static_cast<std::uint16_t>(it - m.names.begin());
    }
    if (m.names.size() >= no_name) {
        return no_name;
    }
    m.names.push_back(name);
    return static_cast<std::uint16_t>(m.names.size() - 1);
}

bool decode(std::string_view raw, std::string& out) {
    auto text = cp932::to_utf8_exactly(raw);
    if (!text) {
        return false;
    }
    out = std::move(*text);
    return true;
}

} // namespace

StampCollector::StampCollector(StampFilter filter) : filter_(std::move(filter)) {}

Status StampCollector::read_file(const std::filesystem::path& file, const UnreadableLine& on_unreadable) {
    textfile::LineReader reader;
    if (auto st = reader.open(file); !st) {
        return st;
    }
    std::string_view raw;
    std::size_t number = 0;
    while (reader.next_raw(raw)) {
        ++number;
        if (const LineKind kind = add_line(raw); kind != LineKind::Taken) {
            on_unreadable(file, number, kind);
        }
    }
    return Done{};
}

LineKind StampCollector::add_line(std::string_view raw) {
    ++lines_;
    const auto line = parse_stamp_line(raw);
    if (!line) {
        ++unreadable_;
        return LineKind::Unreadable;
    }
    const LineKind kind = line->odd_plan ? LineKind::OddPlan : line->no_name ? LineKind::NoName : LineKind::Taken;
    if (line->minute < filter_.first_minute || line->minute >= filter_.end_minute ||
        (filter_.store && *filter_.store != line->store) || (filter_.member && *filter_.member != line->code)) {
        return kind;
    }
    const auto member = member_for(line->store, line->code);
    const auto name = member ? name_of(collected_.members[*member], line->name) : std::nullopt;
    if (!name) {
        ++unreadable_;
        return LineKind::Unreadable;
    }
    Stamp s;
    s.name = *name;
    s.minute = line->minute;
    s.planned_start = static_cast<std::int16_t>(line->planned_start.value_or(-1));
    s.planned_leave = static_cast<std::int16_t>(line->planned_leave.value_or(-1));
    s.shift_in = line->shift_in;
    collected_.stamps.add(*member, s);
    ++stamps_;
    return kind;
}

StampCollector::StoreCodes* StampCollector::store_for(std::string_view store) {
    if (last_store_ < stores_.size() && stores_[last_store_].raw == store) {
        return &stores_[last_store_];
    }
    if (const auto it = store_index_.find(store); it != store_index_.end()) {
        last_store_ = it->second;
        return &stores_[last_store_];
    }
    StoreCodes s;
    if (!decode(store, s.decoded)) {
        return nullptr;
    }
    s.raw = store;
    last_store_ = stores_.size();
    store_index_.emplace(s.raw, static_cast<std::uint32_t>(last_store_));
    stores_.push_back(std::move(s));
    return &stores_.back();
}

std::optional<std::uint32_t> StampCollector::member_for(std::string_view store, std::string_view code) {
    StoreCodes* s = store_for(store);
    if (s == nullptr) {
        return std::nullopt;
    }
    if (const auto it = s->codes.find(code); it != s->codes.end()) {
        return it->second;
    }
    LogMember m;
    if (!decode(code, m.code)) {
        return std::nullopt;
    }
    m.store = s->decoded;
    const auto place = static_cast<std::uint32_t>(collected_.members.size());
    s->codes.emplace(std::string(code), place);
    collected_.members.push_back(std::move(m));
    return place;
}

std::optional<std::uint16_t> StampCollector::name_of(LogMember& m, std::string_view raw_name) {
    if (raw_name.empty()) {
        return no_name;
    }
    for (const auto& [raw, place] : m.raw_names) {
        if (raw == raw_name) {
            return place;
        }
    }
    std::string name;
    if (!decode(raw_name, name)) {
        return std::nullopt;
    }
    const auto place = place_of_name(m, name);
    m.raw_names.emplace_back(std::string(raw_name), place);
    return place;
}

void StampCollector::append(StampCollector&& later) {
    std::vector<std::uint32_t> place(later.collected_.members.size());
    for (const StoreCodes& store : later.stores_) {
        for (const auto& [code, i] : store.codes) {
            const auto mine = member_for(store.raw, code);
            place[i] = *mine; // both texts decoded in later, so they decode here
            LogMember& m = collected_.members[*mine];
            const LogMember& theirs = later.collected_.members[i];
            std::vector<std::uint16_t> name_place(theirs.names.size());
            bool moved = false;
            for (std::size_t n = 0; n < theirs.names.size(); ++n) {
                name_place[n] = place_of_name(m, theirs.names[n]);
                moved = moved || name_place[n] != n;
            }
            for (const auto& [raw_name, at] : theirs.raw_names) {
                const std::string& raw = raw_name;
                const auto same = [&raw](const auto& r) { return r.first == raw; };
                if (std::none_of(m.raw_names.begin(), m.raw_names.end(), same)) {
                    m.raw_names.emplace_back(raw, at == no_name ? no_name : name_place[at]);
                }
            }
            if (moved) {
                later.collected_.stamps.visit(
                    i, [&](Stamp& s) { s.name = s.name == no_name ? no_name : name_place[s.name]; });
            }
        }
    }
    collected_.stamps.append(std::move(later.collected_.stamps), place);
    lines_ += later.lines_;
    stamps_ += later.stamps_;
    unreadable_ += later.unreadable_;
}
