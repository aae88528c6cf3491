// Time texts: whatever parses is a valid time, prints back as a text that parses to the same value, and
// the sum of two times stays a time of day.
#include "FuzzRoot.h"
#include "core/TimeText.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto t = timetext::parse_time_of_day(text)) {
        fuzz_check(*t >= 0 && *t < timetext::seconds_per_day, "a time of day lies within the day");
        fuzz_check(timetext::parse_time_of_day(timetext::hms(*t)) == t, "hms parses back");
    }
    if (const auto dt = timetext::parse_date_time(text)) {
        fuzz_check(dt->month >= 1 && dt->month <= 12 && dt->day >= 1 && dt->day <= 31, "a real date");
        const std::string stamp = timetext::log_stamp(*dt);
        const auto again = timetext::parse_date_time(stamp);
        fuzz_check(again && again->date_only() == dt->date_only(), "log_stamp parses back to the same date");
        fuzz_check(DateTime::from_millis(dt->to_millis()) == *dt, "millisecond round trip");
        (void)timetext::date_label(*dt);
        (void)timetext::yymmdd(*dt);
    }
    const auto bar = text.find('|');
    if (bar != std::string_view::npos) {
        if (const auto sum = timetext::add_hm(text.substr(0, bar), text.substr(bar + 1))) {
            const auto t = timetext::parse_time_of_day(*sum);
            fuzz_check(t && *t < timetext::seconds_per_day, "a sum of times is a time of day");
        }
    }
    return 0;
}
