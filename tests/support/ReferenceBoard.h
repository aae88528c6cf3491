#pragma once

#include <nlohmann/json.hpp>

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

// A small model of the attendance board written from its rules, independent of the recorder's code, so that
// long runs of the simulator can be checked against what the board should show.
namespace reference {

// A local date and time, to the second (the recorder knows no time zones).
using Moment = std::chrono::sys_seconds;

[[nodiscard]] Moment moment(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
[[nodiscard]] int second_of_day(Moment t);
// "2026-06-01 09:05:30", as the simulator's time command and state event write it.
[[nodiscard]] std::string sim_clock(Moment t);
// "2026/6/1 9:05", the date and time of a log line.
[[nodiscard]] std::string log_stamp(Moment t);
// "260601", the day of a shift plan line.
[[nodiscard]] std::string yymmdd(Moment t);
// "9:05" for minutes (of a day or of a stay), wrapping at 24 hours.
[[nodiscard]] std::string hm(int minutes);
// The start (5:00:00) of the business day that t belongs to.
[[nodiscard]] Moment business_day(Moment t);

// One stamp as a log line holds it, reduced to what the day restore reads.
struct LoggedStamp {
    Moment when; // to the minute
    std::string name;
    int mode = 1;
};

// One line of the shift plan for a day.
struct PlanRow {
    std::string name;
    std::string start;
    std::string leave;
};

struct Row {
    std::string st, cast, et, rt, tt, it, kt;
    std::string cast_back;
    std::string et_back;
    double cast_pt = 0;
};

class Board {
public:
    static constexpr int rows = 26;
    static constexpr const char* neutral = "#FFE0C0";
    static constexpr const char* on_shift = "#00FFFF";
    static constexpr const char* shifted_out = "#C0C0C0";
    static constexpr const char* first_seen_out = "#FFC0FF";

    Board() { clear(); }

    void clear();
    void plan(const std::vector<PlanRow>& plan);
    // Puts a stamp on the board; the row used, or nullopt when the board is full.
    std::optional<int> set_status(const std::string& name, int mode, const std::string& time_hm);
    // The once-a-minute recomputation of the running times, for the time of day in minutes.
    void refresh(int now_minutes);
    // The restart: the plan, then the business day's stamps of the log, then one refresh at now.
    void restore(const std::vector<PlanRow>& plan, const std::vector<LoggedStamp>& log, Moment now);

    [[nodiscard]] const Row& row(int i) const { return rows_[static_cast<std::size_t>(i)]; }
    // What differs from the board of a state event, one line per cell; empty when they agree.
    [[nodiscard]] std::string differences(const nlohmann::json& state) const;

private:
    std::array<Row, rows> rows_{};
};

} // namespace reference
