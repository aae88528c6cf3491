#include "report/ReportTime.h"

namespace report {

namespace {

// Reads digits at s[i...] into value; at least min_digits and at most max_digits of them.
bool read_number(std::string_view s, std::size_t& i, std::size_t min_digits, std::size_t max_digits, int& value) {
    std::size_t n = 0;
    value = 0;
    while (i < s.size() && n < max_digits && s[i] >= '0' && s[i] <= '9') {
        value = value * 10 + (s[i] - '0');
        ++i;
        ++n;
    }
    return n >= min_digits;
}

bool expect(std::string_view s, std::size_t& i, char c) {
    if (i < s.size() && s[i] == c) {
        ++i;
        return true;
    }
    return false;
}

bool valid_date(int y, int m, int d) {
    return y >= 1 && m >= 1 && m <= 12 && d >= 1 && d <= days_in_month(y, m);
}

std::string two_digits(std::int64_t v) {
    return std::string{static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)};
}

std::int64_t floor_div(std::int64_t a, std::int64_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

// Howard Hinnant's civil calendar algorithms.
std::int64_t days_from_civil(int year, int month, int day) {
    const std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = floor_div(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate civil_from_days(std::int64_t days) {
    const std::int64_t z = days + 719468;
    const std::int64_t era = floor_div(z, 146097);
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return CivilDate{static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0)), m, d};
}

int days_in_month(int year, int month) {
    static constexpr int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : lengths[month - 1];
}

std::int64_t business_day_of(std::int64_t minute) {
    return floor_div(minute - day_start_minute, minutes_per_day);
}

std::int64_t business_day_start(std::int64_t day) {
    return day * minutes_per_day + day_start_minute;
}

std::string duration_text(std::int64_t minutes) {
    const bool negative = minutes < 0;
    const std::int64_t m = negative ? -minutes : minutes;
    return (negative ? "-" : "") + std::to_string(m / 60) + ":" + two_digits(m % 60);
}

std::string clock_text(std::int64_t minute) {
    const std::int64_t of_day = minute - floor_div(minute, minutes_per_day) * minutes_per_day;
    return std::to_string(of_day / 60) + ":" + two_digits(of_day % 60);
}

std::string date_text(std::int64_t day) {
    const CivilDate d = civil_from_days(day);
    return std::to_string(d.year) + "/" + std::to_string(d.month) + "/" + std::to_string(d.day);
}

std::optional<std::int64_t> parse_stamp_minute(std::string_view s) {
    std::size_t i = 0;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0;
    if (!read_number(s, i, 4, 4, y) || !expect(s, i, '/') || !read_number(s, i, 1, 2, mo) || !expect(s, i, '/') ||
        !read_number(s, i, 1, 2, d) || !expect(s, i, ' ') || !read_number(s, i, 1, 2, h) || !expect(s, i, ':') ||
        !read_number(s, i, 2, 2, mi) || i != s.size()) {
        return std::nullopt;
    }
    if (!valid_date(y, mo, d) || h > 23 || mi > 59) {
        return std::nullopt;
    }
    return days_from_civil(y, mo, d) * minutes_per_day + h * 60 + mi;
}

std::optional<int> parse_planned(std::string_view s) {
    std::size_t i = 0;
    int h = 0, mi = 0, sec = 0;
    if (!read_number(s, i, 1, 2, h) || !expect(s, i, ':') || !read_number(s, i, 2, 2, mi)) {
        return std::nullopt;
    }
    if (expect(s, i, ':') && !read_number(s, i, 2, 2, sec)) {
        return std::nullopt;
    }
    if (i != s.size() || h > 23 || mi > 59 || sec > 59) {
        return std::nullopt;
    }
    return h * 60 + mi;
}

std::optional<std::int64_t> parse_iso_date(std::string_view s) {
    std::size_t i = 0;
    int y = 0, m = 0, d = 0;
    if (!read_number(s, i, 4, 4, y) || !expect(s, i, '-') || !read_number(s, i, 2, 2, m) || !expect(s, i, '-') ||
        !read_number(s, i, 2, 2, d) || i != s.size() || !valid_date(y, m, d)) {
        return std::nullopt;
    }
    return days_from_civil(y, m, d);
}

} // namespace report
