#include "core/DateTime.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace {
constexpr std::int64_t ms_per_day = 86'400'000;

std::int64_t floor_div(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) {
        --q;
    }
    return q;
}
} // namespace

std::int64_t DateTime::to_millis() const {
    using namespace std::chrono;
    const sys_days d{std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} /
                     std::chrono::day{static_cast<unsigned>(day)}};
    const std::int64_t days = d.time_since_epoch().count();
    return days * ms_per_day + ((hour * 60LL + minute) * 60 + second) * 1000 + millisecond;
}

DateTime DateTime::from_millis(std::int64_t ms) {
    using namespace std::chrono;
    const std::int64_t days = floor_div(ms, ms_per_day);
    std::int64_t rest = ms - days * ms_per_day;
    const year_month_day ymd{sys_days{std::chrono::days{days}}};
    DateTime t;
    t.year = static_cast<int>(ymd.year());
    t.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    t.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    t.hour = static_cast<int>(rest / 3'600'000);
    rest %= 3'600'000;
    t.minute = static_cast<int>(rest / 60'000);
    rest %= 60'000;
    t.second = static_cast<int>(rest / 1000);
    t.millisecond = static_cast<int>(rest % 1000);
    return t;
}

std::optional<DateTime> DateTime::make(int y, int mo, int d, int h, int mi, int s) {
    using namespace std::chrono;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59 || y < 1 ||
        y > 9999) {
        return std::nullopt;
    }
    const year_month_day ymd{std::chrono::year{y}, std::chrono::month{static_cast<unsigned>(mo)},
                             std::chrono::day{static_cast<unsigned>(d)}};
    if (!ymd.ok()) {
        return std::nullopt;
    }
    return DateTime{y, mo, d, h, mi, s, 0};
}

int DateTime::weekday() const {
    using namespace std::chrono;
    const sys_days d{std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} /
                     std::chrono::day{static_cast<unsigned>(day)}};
    return static_cast<int>(std::chrono::weekday{d}.c_encoding());
}

DateTime SystemClock::now() const {
    const auto tp = std::chrono::system_clock::now();
    const std::time_t secs = std::chrono::system_clock::to_time_t(tp);
    std::tm local{};
    localtime_r(&secs, &local);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(tp.time_since_epoch()).count() % 1000;
    return DateTime{local.tm_year + 1900, local.tm_mon + 1,           local.tm_mday,       local.tm_hour,
                    local.tm_min,         std::min(local.tm_sec, 59), static_cast<int>(ms)};
}
