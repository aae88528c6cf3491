#include "report/DayFigures.h"

#include "report/ReportTime.h"

#include <algorithm>

std::int64_t planned_moment(std::int64_t day, int minute_of_day, bool leave) {
    std::int64_t offset =
        (minute_of_day - report::day_start_minute + report::minutes_per_day) % report::minutes_per_day;
    if (leave && offset == 0) {
        offset = report::minutes_per_day;
    }
    return report::business_day_start(day) + offset;
}

std::int64_t night_minutes(std::int64_t in, std::int64_t out) {
    std::int64_t total = 0;
    // The night that began on the calendar day before the stay's first minute may still be running.
    std::int64_t night_start =
        (report::floor_div(in, report::minutes_per_day) - 1) * report::minutes_per_day + report::night_start_minute;
    const std::int64_t night_length = report::minutes_per_day - report::night_start_minute + report::day_start_minute;
    for (; night_start < out; night_start += report::minutes_per_day) {
        const std::int64_t from = std::max(in, night_start);
        const std::int64_t to = std::min(out, night_start + night_length);
        total += std::max<std::int64_t>(0, to - from);
    }
    return total;
}

DayFigures day_figures(const MemberDay& day) {
    DayFigures f;
    f.day = day.day;
    for (std::size_t i = 0; i < day.stays.size(); ++i) {
        const Stay& s = day.stays[i];
        f.worked += s.out - s.in;
        f.night += night_minutes(s.in, s.out);
        if (i > 0) {
            f.breaks += s.in - day.stays[i - 1].out;
        }
    }
    f.overtime = std::max<std::int64_t>(0, f.worked - regular_day_minutes);
    if (!day.stays.empty()) {
        f.first_in = day.stays.front().in;
        f.last_out = day.stays.back().out;
    }
    if (day.planned_start >= 0) {
        f.planned_start = day.planned_start;
        if (f.first_in) {
            f.late = std::max<std::int64_t>(0, *f.first_in - planned_moment(day.day, day.planned_start, false));
        }
    }
    if (day.planned_leave >= 0) {
        f.planned_leave = day.planned_leave;
        if (f.last_out) {
            f.early = std::max<std::int64_t>(0, planned_moment(day.day, day.planned_leave, true) - *f.last_out);
        }
    }
    return f;
}

void Totals::add(const DayFigures& f) {
    days += f.first_in ? 1 : 0;
    worked += f.worked;
    breaks += f.breaks;
    night += f.night;
    overtime += f.overtime;
    late += f.late.value_or(0);
    early += f.early.value_or(0);
}

void Totals::add(const Totals& t) {
    days += t.days;
    worked += t.worked;
    breaks += t.breaks;
    night += t.night;
    overtime += t.overtime;
    late += t.late;
    early += t.early;
}
