#include "core/TimeText.h"

#include "core/Trim.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace timetext {

namespace {

// Reads 1 to max_digits decimal digits from the front of s.
std::optional<int> take_number(std::string_view& s, std::size_t max_digits) {
    std::size_t n = 0;
    while (n < s.size() && n < max_digits && s[n] >= '0' && s[n] <= '9') {
        ++n;
    }
    if (n == 0) {
        return std::nullopt;
    }
    int v = 0;
    std::from_chars(s.data(), s.data() + n, v);
    s.remove_prefix(n);
    return v;
}

bool take_char(std::string_view& s, char c) {
    if (s.empty() || s.front() != c) {
        return false;
    }
    s.remove_prefix(1);
    return true;
}

std::string two(int v) {
    std::array<char, 8> buf{};
    std::snprintf(buf.data(), buf.size(), "%02d", v % 100);
    return buf.data();
}

} // namespace

// Written digit by digit: the clock tick formats the time ten times a second.
std::string hms(int seconds_of_day) {
    const int s = ((seconds_of_day % seconds_per_day) + seconds_per_day) % seconds_per_day;
    const int h = s / 3600;
    const int m = s / 60 % 60;
    const int sec = s % 60;
    std::array<char, 8> buf{};
    std::size_t n = 0;
    const auto digit = [&](int v) { buf[n++] = static_cast<char>('0' + v); };
    if (h >= 10) {
        digit(h / 10);
    }
    digit(h % 10);
    buf[n++] = ':';
    digit(m / 10);
    digit(m % 10);
    buf[n++] = ':';
    digit(sec / 10);
    digit(sec % 10);
    return std::string(buf.data(), n);
}

std::string hms(const DateTime& t) {
    return hms(t.seconds_of_day());
}

std::string hm(long long seconds) {
    long long s = seconds % seconds_per_day;
    if (s < 0) {
        s += seconds_per_day;
    }
    return std::to_string(s / 3600) + ":" + two(static_cast<int>(s / 60 % 60));
}

std::string log_stamp(const DateTime& t) {
    return std::to_string(t.year) + "/" + std::to_string(t.month) + "/" + std::to_string(t.day) + " " +
           hm(t.seconds_of_day());
}

std::string date_label(const DateTime& t) {
    static constexpr std::array<const char*, 7> names{"日", "月", "火", "水", "木", "金", "土"};
    return std::to_string(t.month) + "月" + std::to_string(t.day) + "日(" +
           names[static_cast<std::size_t>(t.weekday())] + ")";
}

std::string yymmdd(const DateTime& t) {
    return two(t.year) + two(t.month) + two(t.day);
}

std::string hhnn(const DateTime& t) {
    return two(t.hour) + two(t.minute);
}

namespace {
// Parses "h:mm" or "h:mm:ss" from the front of s; leaves the rest in s.
std::optional<int> take_time(std::string_view& s) {
    const auto h = take_number(s, 2);
    if (!h || !take_char(s, ':')) {
        return std::nullopt;
    }
    const auto m = take_number(s, 2);
    if (!m) {
        return std::nullopt;
    }
    int sec = 0;
    if (take_char(s, ':')) {
        const auto sv = take_number(s, 2);
        if (!sv) {
            return std::nullopt;
        }
        sec = *sv;
    }
    if (*h > 23 || *m > 59 || sec > 59) {
        return std::nullopt;
    }
    return *h * 3600 + *m * 60 + sec;
}
} // namespace

std::optional<int> parse_time_of_day(std::string_view text) {
    std::string_view s = trim_blanks(text);
    const auto t = take_time(s);
    if (!t || !s.empty()) {
        return std::nullopt;
    }
    return t;
}

std::optional<DateTime> parse_date_time(std::string_view text) {
    std::string_view s = trim_blanks(text);
    const auto y = take_number(s, 4);
    if (!y || s.empty() || (s.front() != '/' && s.front() != '-')) {
        return std::nullopt;
    }
    const char sep = s.front();
    s.remove_prefix(1);
    const auto mo = take_number(s, 2);
    if (!mo || !take_char(s, sep)) {
        return std::nullopt;
    }
    const auto d = take_number(s, 2);
    if (!d) {
        return std::nullopt;
    }
    int tod = 0;
    if (!s.empty()) {
        if (!take_char(s, ' ')) {
            return std::nullopt;
        }
        while (take_char(s, ' ')) {
        }
        const auto t = take_time(s);
        if (!t || !s.empty()) {
            return std::nullopt;
        }
        tod = *t;
    }
    return DateTime::make(*y, *mo, *d, tod / 3600, tod / 60 % 60, tod % 60);
}

std::optional<std::string> add_hm(std::string_view a, std::string_view b) {
    const auto x = parse_time_of_day(a);
    const auto y = parse_time_of_day(b);
    if (!x || !y) {
        return std::nullopt;
    }
    return hm(static_cast<long long>(*x) + *y);
}

} // namespace timetext
