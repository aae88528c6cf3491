#pragma once

#include <compare>
#include <cstdint>
#include <optional>

// A local calendar date and time of day, to the millisecond. Arithmetic treats it as a civil time
// without daylight saving, which is how the shop's clock reads.
struct DateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    // Milliseconds since 1970-01-01 00:00:00 of the same civil calendar.
    [[nodiscard]] std::int64_t to_millis() const;
    [[nodiscard]] static DateTime from_millis(std::int64_t ms);
    [[nodiscard]] static std::optional<DateTime> make(int y, int mo, int d, int h = 0, int mi = 0, int s = 0);

    [[nodiscard]] DateTime plus_millis(std::int64_t ms) const { return from_millis(to_millis() + ms); }
    [[nodiscard]] int seconds_of_day() const { return hour * 3600 + minute * 60 + second; }
    [[nodiscard]] int weekday() const; // 0 = Sunday
    [[nodiscard]] DateTime date_only() const { return DateTime{year, month, day, 0, 0, 0, 0}; }

    friend auto operator<=>(const DateTime& a, const DateTime& b) { return a.to_millis() <=> b.to_millis(); }
    friend bool operator==(const DateTime& a, const DateTime& b) { return a.to_millis() == b.to_millis(); }
};

// The source of the current local time, passed to everything that reads the clock.
class Clock {
public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual DateTime now() const = 0;
};

// The machine's own clock in local time.
class SystemClock final : public Clock {
public:
    [[nodiscard]] DateTime now() const override;
};

// A clock that stands still until it is moved: the simulator's and the tests'.
class ManualClock final : public Clock {
public:
    explicit ManualClock(DateTime t = {}) : now_(t) {}
    [[nodiscard]] DateTime now() const override { return now_; }
    void set(DateTime t) { now_ = t; }
    void advance_millis(std::int64_t ms) { now_ = now_.plus_millis(ms); }

private:
    DateTime now_;
};
