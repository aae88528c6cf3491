#include "report/ReportTime.h"

#include <chrono>
#include <cstdint>

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

} // namespace

std::int64_t floor_div(std::int64_t a, std::int64_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// The civil calendar of the standard library, as the recorder's own DateTime uses it.
std::int64_t days_from_civil(int year, int month, int day) {
    using namespace std::chrono;
    const sys_days d{std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} /
                     std::chrono::day{static_cast<unsigned>(day)}};
    return d.time_since_epoch().count();
}

CivilDate civil_from_days(std::int64_t days) {
    using namespace std::chrono;
    const year_month_day ymd{sys_days{std::chrono::days{days}}};
    return CivilDate{static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                     static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

int days_in_month(int year, int month) {
    using namespace std::chrono;
    const year_month_day_last last{std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} /
                                   std::chrono::last};
    return static_cast<int>(static_cast<unsigned>(last.day()));
}

std::int64_t business_day_of(std::int64_t minute) {
    return floor_div(minute - day_start_minute, minutes_per_day);
}

std::int64_t business_day_start(std::int64_t day) {
    return day * minutes_per_day + day_start_minute;
}

void append_duration(std::string& out, std::int64_t minutes) {
    // Written back to front into a buffer and appended at once: a sheet holds millions of these.
    char text[32];
    char* at = text + sizeof text;
    const bool negative = minutes < 0;
    minutes = negative ? -minutes : minutes;
    *--at = static_cast<char>('0' + minutes % 10);
    *--at = static_cast<char>('0' + minutes % 60 / 10);
    *--at = ':';
    std::int64_t hours = minutes / 60;
    do {
        *--at = static_cast<char>('0' + hours % 10);
        hours /= 10;
    } while (hours > 0);
    if (negative) {
        *--at = '-';
    }
    out.append(at, static_cast<std::size_t>(text + sizeof text - at));
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
    return days_from_civil(y, mo, d) * minutes_per_day + std::int64_t{h} * 60 + mi;
}

std::optional<int> parse_planned(std::string_view s) {
    std::size_t i = 0;
    int h = 0, mi = 0;
    if (!read_number(s, i, 1, 2, h) || !expect(s, i, ':') || !read_number(s, i, 2, 2, mi)) {
        return std::nullopt;
    }
    if (i != s.size() || h > 23 || mi > 59) {
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
