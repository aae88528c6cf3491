#include "report/StampCollector.h"

#include "core/Cp932.h"
#include "core/TextFile.h"
#include "report/StampLine.h"

#include <algorithm>

namespace {

constexpr std::string_view replacement = "\xEF\xBF\xBD"; // what a byte that does not decode becomes

bool decode(std::string_view raw, std::string& out) {
    out = cp932::to_utf8(raw);
    return out.find(replacement) == std::string::npos;
}

} // namespace

StampCollector::StampCollector(StampFilter filter, UnreadableLine on_unreadable)
    : filter_(std::move(filter)), on_unreadable_(std::move(on_unreadable)) {}

Status StampCollector::read_file(const std::filesystem::path& file) {
    textfile::LineReader reader;
    if (auto st = reader.open(file); !st) {
        return st;
    }
    std::string_view raw;
    std::size_t number = 0;
    while (reader.next_raw(raw)) {
        ++number;
        if (!add_line(raw)) {
            on_unreadable_(file, number);
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
    MemberStamps* m = member_for(line->store, line->code);
    if (m == nullptr || !note_name(*m, line->name)) {
        ++unreadable_;
        return false;
    }
    Stamp s;
    s.minute = line->minute;
    s.order = static_cast<std::uint32_t>(lines_);
    s.planned_start = static_cast<std::int16_t>(line->planned_start.value_or(-1));
    s.planned_leave = static_cast<std::int16_t>(line->planned_leave.value_or(-1));
    s.shift_in = line->shift_in;
    m->stamps.push_back(s);
    ++stamps_;
    return true;
}

MemberStamps* StampCollector::member_for(std::string_view store, std::string_view code) {
    key_.assign(store).append(1, '\0').append(code);
    if (const auto it = index_.find(key_); it != index_.end()) {
        return &members_[it->second];
    }
    MemberStamps m;
    if (!decode(store, m.store) || !decode(code, m.code)) {
        return nullptr;
    }
    index_.emplace(key_, members_.size());
    members_.push_back(std::move(m));
    return &members_.back();
}

bool StampCollector::note_name(MemberStamps& m, std::string_view raw_name) {
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
