#include "report/StampLine.h"

#include "report/ReportTime.h"

#include <array>
#include <cstring>

namespace {

constexpr std::size_t field_count = 8;

bool split_fields(std::string_view raw, std::array<std::string_view, field_count>& f) {
    const char* p = raw.data();
    const char* end = p + raw.size();
    for (std::size_t i = 0; i + 1 < field_count; ++i) {
        const void* comma = std::memchr(p, ',', static_cast<std::size_t>(end - p));
        if (comma == nullptr) {
            return false;
        }
        const char* c = static_cast<const char*>(comma);
        f[i] = std::string_view(p, static_cast<std::size_t>(c - p));
        p = c + 1;
    }
    f[field_count - 1] = std::string_view(p, static_cast<std::size_t>(end - p));
    return std::memchr(p, ',', static_cast<std::size_t>(end - p)) == nullptr;
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
    // The planned times are the shift plan's texts as the board showed them; one that is not a time is no plan.
    s.planned_start = report::parse_planned(f[5]);
    s.planned_leave = report::parse_planned(f[6]);
    return s;
}
