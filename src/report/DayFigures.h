#pragma once

#include "report/StayPairing.h"

#include <cstdint>
#include <optional>

// The figures of one member's business day, in whole minutes.
struct DayFigures {
    std::int64_t day = 0;
    std::optional<std::int64_t> first_in;
    std::optional<std::int64_t> last_out;
    std::int64_t worked = 0;   // the stays added up
    std::int64_t breaks = 0;   // the gaps between stays
    std::int64_t night = 0;    // worked between 22:00 and 5:00
    std::int64_t overtime = 0; // worked beyond 8 hours in the day
    std::optional<int> planned_start;
    std::optional<int> planned_leave;
    std::optional<std::int64_t> late;  // first in after the planned start
    std::optional<std::int64_t> early; // last out before the planned leave
};

inline constexpr std::int64_t regular_day_minutes = std::int64_t{8} * 60;

[[nodiscard]] DayFigures day_figures(const MemberDay& day);
// A planned time of day as a moment of the business day: times before 5:00 belong to the next morning. A
// planned leave of 5:00 is the end of the day, a planned start of 5:00 its beginning.
[[nodiscard]] std::int64_t planned_moment(std::int64_t day, int minute_of_day, bool leave);
// Minutes of [in, out) that fall between 22:00 and 5:00.
[[nodiscard]] std::int64_t night_minutes(std::int64_t in, std::int64_t out);

// Figures added up over days: a member's month, a store's.
struct Totals {
    std::int64_t days = 0; // days with a stay
    std::int64_t worked = 0;
    std::int64_t breaks = 0;
    std::int64_t night = 0;
    std::int64_t overtime = 0;
    std::int64_t late = 0;
    std::int64_t early = 0;

    void add(const DayFigures& f);
    void add(const Totals& t);
};
