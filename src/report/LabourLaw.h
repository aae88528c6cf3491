#pragma once

#include "report/DayFigures.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// What the Labour Standards Act asks of a member's hours, as far as the stamps tell it: breaks long enough for
// the day's work, the 40-hour week, and the month's overtime against the limits of an overtime agreement.
// Holidays are not known to the logs, so holiday work is not told apart from other work.
namespace law {

inline constexpr std::int64_t week_minutes = std::int64_t{40} * 60;
inline constexpr std::int64_t month_notice = std::int64_t{45} * 60;   // noted when passed
inline constexpr std::int64_t premium_from = std::int64_t{60} * 60;   // overtime past it is paid at 50 %
inline constexpr std::int64_t month_ceiling = std::int64_t{100} * 60; // noted when reached
inline constexpr std::int64_t average_limit = std::int64_t{80} * 60;  // noted when an average passes it
inline constexpr int average_months_max = 6;

} // namespace law

// Whether the breaks fall short for the time worked: 45 minutes on a day worked over 6 hours, 60 over 8.
[[nodiscard]] bool break_short(std::int64_t worked, std::int64_t breaks);

// 0 Sunday to 6 Saturday.
[[nodiscard]] int weekday_of(std::int64_t day);
// The first day of the week that holds day, weeks beginning on week_start.
[[nodiscard]] std::int64_t week_first_day(std::int64_t day, int week_start);
// A day of the week as given on the command line: 0 to 6 (0 Sunday), 日/日曜/日曜日 to 土…, sun/sunday to sat….
[[nodiscard]] std::optional<int> parse_week_start(std::string_view text);
// The first business day whose figures the week of first_day needs.
[[nodiscard]] inline std::int64_t week_lookback(std::int64_t first_day) {
    return first_day - 6;
}

// One business day as the law sees it.
struct DayLaw {
    std::int64_t weekly = 0;    // worked beyond 40 hours in the week and not beyond 8 hours in the day
    std::int64_t overtime = 0;  // the day's overtime: beyond 8 hours plus weekly
    std::int64_t beyond_60 = 0; // the part of overtime past 60 hours in the calendar month
    bool short_break = false;
};

// One calendar month of a member.
struct MonthLaw {
    int year = 0;
    int month = 0;
    std::int64_t overtime = 0;
    std::int64_t beyond_60 = 0;
    std::int64_t night = 0;
    std::vector<std::string> notes; // limits passed
};

struct LawTotals {
    std::int64_t weekly = 0;
    std::int64_t overtime = 0;
    std::int64_t beyond_60 = 0;
    std::int64_t short_break_days = 0;

    void add(const DayLaw& d);
    void add(const LawTotals& t);
};

// A member's days and months in the range.
struct MemberLaw {
    std::vector<DayLaw> days;     // one for each day of the member's sheet
    std::vector<MonthLaw> months; // each calendar month from the member's first day to the last
    LawTotals totals;
};

// The law's figures of the days of `figures` from first_day on; the days before it (up to a week) only count
// towards their week's 40 hours. figures are one member's business days in order. Months are averaged over the
// ones given: 2 to 6 months that end in each month.
[[nodiscard]] MemberLaw member_law(std::span<const DayFigures> figures, std::int64_t first_day, int week_start);

// The texts of the day's legal notes, as the reports show them beside the anomalies.
[[nodiscard]] std::vector<std::string> law_day_notes(const DayLaw& day);
// Every legal note of the member's months, each naming its month.
[[nodiscard]] std::vector<std::string> law_month_notes(const MemberLaw& law);
// "2026/11".
[[nodiscard]] std::string month_text(int year, int month);
