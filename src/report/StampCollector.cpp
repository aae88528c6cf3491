#include "report/StampCollector.h"

#include "core/Cp932.h"
#include "core/TextFile.h"
#include "report/StampLine.h"

#include <algorithm>

namespace {

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
        if (!add_line(raw)) {
            on_unreadable(file, number);
        }
    }
    return Done{};
}

bool StampCollector::add_line(std::string_view raw) {
    ++lines_;
    const auto line = parse_stamp_line(raw);
    if (!line) {
        ++unreadable_;
        return false;
    }
    if (line->minute < filter_.first_minute || line->minute >= filter_.end_minute ||
        (filter_.store && *filter_.store != line->store) || (filter_.member && *filter_.member != line->code)) {
        return true;
    }
    const auto member = member_for(line->store, line->code);
    if (!member || !note_name(collected_.members[*member], line->name)) {
        ++unreadable_;
        return false;
    }
    Stamp s;
    s.minute = line->minute;
    s.planned_start = static_cast<std::int16_t>(line->planned_start.value_or(-1));
    s.planned_leave = static_cast<std::int16_t>(line->planned_leave.value_or(-1));
    s.shift_in = line->shift_in;
    collected_.stamps.add(*member, s);
    ++stamps_;
    return true;
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

bool StampCollector::note_name(LogMember& m, std::string_view raw_name) {
    if (std::find(m.raw_names.begin(), m.raw_names.end(), raw_name) != m.raw_names.end()) {
        return true;
    }
    std::string name;
    if (!decode(raw_name, name)) {
        return false;
    }
    m.raw_names.emplace_back(raw_name);
    m.names.push_back(std::move(name));
    return true;
}

void StampCollector::append(StampCollector&& later) {
    std::vector<std::uint32_t> place(later.collected_.members.size());
    for (const StoreCodes& store : later.stores_) {
        for (const auto& [code, i] : store.codes) {
            const auto mine = member_for(store.raw, code);
            place[i] = *mine; // both texts decoded in later, so they decode here
            LogMember& m = collected_.members[*mine];
            const LogMember& theirs = later.collected_.members[i];
            for (std::size_t n = 0; n < theirs.raw_names.size(); ++n) {
                if (std::find(m.raw_names.begin(), m.raw_names.end(), theirs.raw_names[n]) == m.raw_names.end()) {
                    m.raw_names.push_back(theirs.raw_names[n]);
                    m.names.push_back(theirs.names[n]);
                }
            }
        }
    }
    collected_.stamps.append(std::move(later.collected_.stamps), place);
    lines_ += later.lines_;
    stamps_ += later.stamps_;
    unreadable_ += later.unreadable_;
}
