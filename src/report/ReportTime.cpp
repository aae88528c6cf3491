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

void append_two_digits(std::string& out, std::int64_t v) {
    out += static_cast<char>('0' + v / 10);
    out += static_cast<char>('0' + v % 10);
}

void append_number(std::string& out, std::int64_t v) {
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v > 0);
    while (n > 0) {
        out += digits[--n];
    }
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

void append_duration(std::string& out, std::int64_t minutes) {
    if (minutes < 0) {
        out += '-';
        minutes = -minutes;
    }
    append_number(out, minutes / 60);
    out += ':';
    append_two_digits(out, minutes % 60);
}

void append_clock(std::string& out, std::int64_t minute) {
    append_duration(out, minute - floor_div(minute, minutes_per_day) * minutes_per_day);
}

void append_date(std::string& out, std::int64_t day) {
    const CivilDate d = civil_from_days(day);
    append_number(out, d.year);
    out += '/';
    append_number(out, d.month);
    out += '/';
    append_number(out, d.day);
}

std::string duration_text(std::int64_t minutes) {
    std::string s;
    append_duration(s, minutes);
    return s;
}

std::string clock_text(std::int64_t minute) {
    std::string s;
    append_clock(s, minute);
    return s;
}

std::string date_text(std::int64_t day) {
    std::string s;
    append_date(s, day);
    return s;
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
