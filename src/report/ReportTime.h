#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Times of the timesheets: a moment is a whole minute counted from 1970-01-01 0:00 of the shop's civil
// calendar; a day is a day number on the same count. A business day runs from 5:00 to 5:00 and carries the
// number of the calendar day it starts on.
namespace report {

inline constexpr std::int64_t minutes_per_day = 1440;
inline constexpr std::int64_t day_start_minute = std::int64_t{5} * 60;
inline constexpr std::int64_t night_start_minute = std::int64_t{22} * 60;

struct CivilDate {
    int year = 1970;
    int month = 1;
    int day = 1;
};

[[nodiscard]] std::int64_t days_from_civil(int year, int month, int day);
[[nodiscard]] CivilDate civil_from_days(std::int64_t days);
[[nodiscard]] int days_in_month(int year, int month);

[[nodiscard]] std::int64_t business_day_of(std::int64_t minute);
[[nodiscard]] std::int64_t business_day_start(std::int64_t day);

// a / b rounded towards minus infinity: minutes before 1970 are negative, and their day is the one before.
[[nodiscard]] std::int64_t floor_div(std::int64_t a, std::int64_t b);

// The texts below, appended to out: a report writes hundreds of thousands of them.
void append_duration(std::string& out, std::int64_t minutes);
void append_clock(std::string& out, std::int64_t minute);
void append_date(std::string& out, std::int64_t day);

// "h:mm" of a duration; hours go past 24 in totals.
[[nodiscard]] std::string duration_text(std::int64_t minutes);
// "h:mm" of the time of day of a moment, as the recorder shows it.
[[nodiscard]] std::string clock_text(std::int64_t minute);
// "2026/11/3", the form of the log's dates.
[[nodiscard]] std::string date_text(std::int64_t day);

// The date and time of a log line exactly as the recorder writes it, "yyyy/m/d h:mm"; nullopt otherwise.
[[nodiscard]] std::optional<std::int64_t> parse_stamp_minute(std::string_view text);
// A planned time from the board, "h:mm" (hour 0 to 23), as minutes of the day; nullopt when empty or not a time.
[[nodiscard]] std::optional<int> parse_planned(std::string_view text);
// "YYYY-MM-DD" as a day number.
[[nodiscard]] std::optional<std::int64_t> parse_iso_date(std::string_view text);

} // namespace report
