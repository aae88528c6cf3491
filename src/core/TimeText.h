#pragma once

#include "core/DateTime.h"

#include <optional>
#include <string>
#include <string_view>

// The recorder's time texts. Times of day and durations are shown as "h:mm" and wrap at 24 hours.
namespace timetext {

inline constexpr int seconds_per_day = 86'400;
inline constexpr int minutes_per_day = 1'440;

// "9:05:30": 24-hour clock, hour without leading zero, two-digit minutes and seconds.
[[nodiscard]] std::string hms(const DateTime& t);
[[nodiscard]] std::string hms(int seconds_of_day);
// "9:05" for a time of day or a duration in seconds; seconds are dropped and the value wraps at 24 hours.
[[nodiscard]] std::string hm(long long seconds);
// "2014/12/7 9:05": the date and time of a log line.
[[nodiscard]] std::string log_stamp(const DateTime& t);
// "12月7日(日)": the date label, with the weekday from a fixed table (日 for Sunday).
[[nodiscard]] std::string date_label(const DateTime& t);
// Two-digit fields for file names: "141207" and "0905".
[[nodiscard]] std::string yymmdd(const DateTime& t);
[[nodiscard]] std::string hhnn(const DateTime& t);

// A time of day written "h:mm" or "h:mm:ss" (blanks around it allowed) as seconds since midnight.
[[nodiscard]] std::optional<int> parse_time_of_day(std::string_view text);
// A date "yyyy/m/d" with an optional time "h:mm" or "h:mm:ss" ("-" also separates the date).
[[nodiscard]] std::optional<DateTime> parse_date_time(std::string_view text);

// The sum of two "h:mm" texts as "h:mm", wrapping at 24 hours; nullopt when either is not a time.
[[nodiscard]] std::optional<std::string> add_hm(std::string_view a, std::string_view b);

} // namespace timetext
