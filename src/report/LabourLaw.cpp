#include "report/LabourLaw.h"

#include "report/ReportTime.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

constexpr std::int64_t six_hours = std::int64_t{6} * 60;
constexpr std::int64_t short_break_after_six = 45;
constexpr std::int64_t short_break_after_eight = 60;

// Minutes of a running total past a limit that the last addition brought: before and after it.
std::int64_t past(std::int64_t limit, std::int64_t before, std::int64_t after) {
    return std::max<std::int64_t>(0, after - limit) - std::max<std::int64_t>(0, before - limit);
}

int month_index(const report::CivilDate& d) {
    return d.year * 12 + d.month - 1;
}

// The notes of the month at `at` of months: its own limits, then the averages of the months that end in it.
void note_limits(std::vector<MonthLaw>& months, std::size_t at) {
    MonthLaw& m = months[at];
    const std::string name = month_text(m.year, m.month) + " 時間外 ";
    if (m.overtime > law::month_notice) {
        m.notes.push_back(name + "45時間超 (" + report::duration_text(m.overtime) + ")");
    }
    if (m.overtime >= law::month_ceiling) {
        m.notes.push_back(name + "100時間以上 (" + report::duration_text(m.overtime) + ")");
    }
    std::string averages;
    std::int64_t sum = m.overtime;
    for (int k = 2; k <= law::average_months_max && static_cast<std::size_t>(k) <= at + 1; ++k) {
        sum += months[at + 1 - static_cast<std::size_t>(k)].overtime;
        if (sum > law::average_limit * k) {
            // Rounded up, so that an average past 80:00 never shows as 80:00.
            averages +=
                (averages.empty() ? "" : "・") + std::to_string(k) + "か月 " + report::duration_text((sum + k - 1) / k);
        }
    }
    if (!averages.empty()) {
        m.notes.push_back(name + "2〜6か月平均 80時間超 (" + averages + ")");
    }
}

} // namespace

bool break_short(std::int64_t worked, std::int64_t breaks) {
    if (worked > regular_day_minutes) {
        return breaks < short_break_after_eight;
    }
    return worked > six_hours && breaks < short_break_after_six;
}

int weekday_of(std::int64_t day) {
    // Day 0, 1970-01-01, was a Thursday.
    return static_cast<int>(((day + 4) % 7 + 7) % 7);
}

std::int64_t week_first_day(std::int64_t day, int week_start) {
    return day - (weekday_of(day) - week_start + 7) % 7;
}

std::optional<int> parse_week_start(std::string_view text) {
    static const std::array<const char*, 7> kanji = {"日", "月", "火", "水", "木", "金", "土"};
    static const std::array<const char*, 7> english = {"sunday",   "monday", "tuesday", "wednesday",
                                                       "thursday", "friday", "saturday"};
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (int d = 0; d < 7; ++d) {
        const std::string k = kanji[static_cast<std::size_t>(d)];
        const std::string e = english[static_cast<std::size_t>(d)];
        if (lower == std::to_string(d) || lower == k || lower == k + "曜" || lower == k + "曜日" || lower == e ||
            lower == e.substr(0, 3)) {
            return d;
        }
    }
    return std::nullopt;
}

void LawTotals::add(const DayLaw& d) {
    weekly += d.weekly;
    overtime += d.overtime;
    beyond_60 += d.beyond_60;
    short_break_days += d.short_break ? 1 : 0;
}

void LawTotals::add(const LawTotals& t) {
    weekly += t.weekly;
    overtime += t.overtime;
    beyond_60 += t.beyond_60;
    short_break_days += t.short_break_days;
}

MemberLaw member_law(std::span<const DayFigures> figures, std::int64_t first_day, int week_start) {
    MemberLaw law;
    law.days.reserve(figures.size());
    std::int64_t week = INT64_MIN;
    std::int64_t week_regular = 0;       // the week's time worked within 8 hours a day, so far
    std::int64_t next_month = INT64_MIN; // the first day after the last month met
    for (const DayFigures& f : figures) {
        if (week_first_day(f.day, week_start) != week) {
            week = week_first_day(f.day, week_start);
            week_regular = 0;
        }
        const std::int64_t regular = f.worked - f.overtime;
        DayLaw d;
        d.weekly = past(law::week_minutes, week_regular, week_regular + regular);
        week_regular += regular;
        if (f.day < first_day) {
            continue;
        }
        d.overtime = f.overtime + d.weekly;
        d.short_break = break_short(f.worked, f.breaks);
        if (f.day >= next_month) { // the days come in order: the calendar is looked up once a month
            const report::CivilDate date = report::civil_from_days(f.day);
            const int month = month_index(date);
            const int last =
                law.months.empty() ? month - 1 : month_index({law.months.back().year, law.months.back().month, 1});
            for (int m = last + 1; m <= month; ++m) {
                law.months.push_back(MonthLaw{m / 12, m % 12 + 1, 0, 0, 0, {}});
            }
            next_month = f.day - date.day + 1 + report::days_in_month(date.year, date.month);
        }
        MonthLaw& mo = law.months.back();
        d.beyond_60 = past(law::premium_from, mo.overtime, mo.overtime + d.overtime);
        mo.overtime += d.overtime;
        mo.beyond_60 += d.beyond_60;
        mo.night += f.night;
        law.days.push_back(d);
        law.totals.add(d);
    }
    for (std::size_t i = 0; i < law.months.size(); ++i) {
        note_limits(law.months, i);
    }
    return law;
}

std::vector<std::string> law_day_notes(const DayLaw& day) {
    return day.short_break ? std::vector<std::string>{"休憩不足"} : std::vector<std::string>{};
}

std::vector<std::string> law_month_notes(const MemberLaw& law) {
    std::vector<std::string> out;
    for (const auto& m : law.months) {
        out.insert(out.end(), m.notes.begin(), m.notes.end());
    }
    return out;
}

std::string month_text(int year, int month) {
    return std::to_string(year) + "/" + std::to_string(month);
}
