#include "report/StampLine.h"

#include "report/ReportTime.h"

#include <array>

namespace {

constexpr std::size_t field_count = 8;

// One pass over the line: its fields are short, so a loop beats a library search per comma.
bool split_fields(std::string_view raw, std::array<std::string_view, field_count>& f) {
    std::size_t field = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == ',') {
            if (field + 1 == field_count) {
                return false;
            }
            f[field++] = raw.substr(start, i - start);
            start = i + 1;
        }
    }
    if (field + 1 != field_count) {
        return false;
    }
    f[field] = raw.substr(start);
    return true;
}

} // namespace

std::optional<StampLine> parse_stamp_line(std::string_view raw) {
    std::array<std::string_view, field_count> f;
    if (!split_fields(raw, f) || f[0].empty() || f[2].empty() || (f[4] != "1" && f[4] != "2")) {
        return std::nullopt;
    }
    const auto minute = report::parse_stamp_minute(f[1]);
    if (!minute) {
        return std::nullopt;
    }
    StampLine s;
    s.store = f[0];
    s.code = f[2];
    s.name = f[3];
    s.minute = *minute;
    s.shift_in = f[4] == "1";
    // The planned times are the shift plan's texts as the board showed them; one that is not a time is no plan,
    // and the line is pointed out, since then no late start or early leave can be told.
    s.planned_start = report::parse_planned(f[5]);
    s.planned_leave = report::parse_planned(f[6]);
    s.odd_plan = (!f[5].empty() && !s.planned_start) || (!f[6].empty() && !s.planned_leave);
    s.no_name = f[3].empty();
    return s;
}
