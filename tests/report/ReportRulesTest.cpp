// The rules of the timesheet on hand-made logs: pairing of stays, the day's figures, the anomalies.

#include "report/LabourLaw.h"
#include "report/ReportLines.h"
#include "report/StampLine.h"

#include <gtest/gtest.h>

namespace {

using report::duration_text;

struct DayCase {
    const char* what;
    std::vector<std::string> lines; // of member 1; the first business day with a stay is checked
    const char* first_in;
    const char* last_out;
    const char* worked;
    const char* breaks;
    const char* night;
    const char* overtime;
    const char* late; // "" when there is no plan
    const char* early;
};

std::string clock_or_empty(const std::optional<std::int64_t>& m) {
    return m ? report::clock_text(*m) : "";
}

std::string dur_or_empty(const std::optional<std::int64_t>& m) {
    return m ? duration_text(*m) : "";
}

TEST(ReportRules, DayFiguresFollowTheStays) {
    const std::vector<DayCase> cases = {
        {"one stay beyond 8 hours",
         {stamp("2026/11/2 9:00", "1", "佐藤", 1), stamp("2026/11/2 17:31", "1", "佐藤", 2)},
         "9:00",
         "17:31",
         "8:31",
         "0:00",
         "0:00",
         "0:31",
         "",
         ""},
        {"a break between two stays",
         {stamp("2026/11/2 9:00", "1", "佐藤", 1), stamp("2026/11/2 12:00", "1", "佐藤", 2),
          stamp("2026/11/2 12:45", "1", "佐藤", 1), stamp("2026/11/2 18:00", "1", "佐藤", 2)},
         "9:00",
         "18:00",
         "8:15",
         "0:45",
         "0:00",
         "0:15",
         "",
         ""},
        {"across midnight: night work from 22:00",
         {stamp("2026/11/2 20:00", "1", "佐藤", 1), stamp("2026/11/3 2:00", "1", "佐藤", 2)},
         "20:00",
         "2:00",
         "6:00",
         "0:00",
         "4:00",
         "0:00",
         "",
         ""},
        {"past 5:00: still the day of the shift-in, night work ends at 5:00",
         {stamp("2026/11/2 21:59", "1", "佐藤", 1), stamp("2026/11/3 7:00", "1", "佐藤", 2)},
         "21:59",
         "7:00",
         "9:01",
         "0:00",
         "7:00",
         "1:01",
         "",
         ""},
        {"a stay begun after midnight is night work of the business day before",
         {stamp("2026/11/3 1:00", "1", "佐藤", 1), stamp("2026/11/3 6:00", "1", "佐藤", 2)},
         "1:00",
         "6:00",
         "5:00",
         "0:00",
         "4:00",
         "0:00",
         "",
         ""},
        {"a second shift-in moves the start",
         {stamp("2026/11/2 9:00", "1", "佐藤", 1), stamp("2026/11/2 9:30", "1", "佐藤", 1),
          stamp("2026/11/2 17:30", "1", "佐藤", 2)},
         "9:30",
         "17:30",
         "8:00",
         "0:00",
         "0:00",
         "0:00",
         "",
         ""},
        {"a second shift-in exactly 16 hours after the first still moves the start",
         {stamp("2026/11/2 5:00", "1", "佐藤", 1), stamp("2026/11/2 21:00", "1", "佐藤", 1),
          stamp("2026/11/2 22:00", "1", "佐藤", 2)},
         "21:00",
         "22:00",
         "1:00",
         "0:00",
         "0:00",
         "0:00",
         "",
         ""},
        {"a stay of exactly 16 hours",
         {stamp("2026/11/2 8:00", "1", "佐藤", 1), stamp("2026/11/3 0:00", "1", "佐藤", 2)},
         "8:00",
         "0:00",
         "16:00",
         "0:00",
         "2:00",
         "8:00",
         "",
         ""},
        {"late start and early leave against the plan",
         {stamp("2026/11/2 9:10", "1", "佐藤", 1, "9:00", "17:00"),
          stamp("2026/11/2 16:49", "1", "佐藤", 2, "9:00", "17:00")},
         "9:10",
         "16:49",
         "7:39",
         "0:00",
         "0:00",
         "0:00",
         "0:10",
         "0:11"},
        {"on time, and a planned leave after midnight",
         {stamp("2026/11/2 18:00", "1", "佐藤", 1, "18:00", "1:00"),
          stamp("2026/11/3 0:30", "1", "佐藤", 2, "18:00", "1:00")},
         "18:00",
         "0:30",
         "6:30",
         "0:00",
         "2:30",
         "0:00",
         "0:00",
         "0:30"},
        {"a planned leave of 5:00 is the next morning: leaving at 4:30 is early",
         {stamp("2026/11/2 22:00", "1", "佐藤", 1, "22:00", "5:00"),
          stamp("2026/11/3 4:30", "1", "佐藤", 2, "22:00", "5:00")},
         "22:00",
         "4:30",
         "6:30",
         "0:00",
         "6:30",
         "0:00",
         "0:00",
         "0:30"},
        {"planned start and leave come from one line, never two",
         {stamp("2026/11/2 9:10", "1", "佐藤", 1, "", "17:00"),
          stamp("2026/11/2 16:50", "1", "佐藤", 2, "9:00", "18:00")},
         "9:10",
         "16:50",
         "7:40",
         "0:00",
         "0:00",
         "0:00",
         "",
         "0:10"},
    };
    for (const auto& c : cases) {
        const Timesheet t = sheet_of(c.lines);
        ASSERT_EQ(t.stores.size(), 1u) << c.what;
        const MemberSheet& m = t.stores[0].members.at(0);
        ASSERT_EQ(m.days.size(), 1u) << c.what;
        const DayFigures f = day_figures(m.days[0]);
        EXPECT_EQ(report::date_text(f.day), "2026/11/2") << c.what;
        EXPECT_EQ(clock_or_empty(f.first_in), c.first_in) << c.what;
        EXPECT_EQ(clock_or_empty(f.last_out), c.last_out) << c.what;
        EXPECT_EQ(duration_text(f.worked), c.worked) << c.what;
        EXPECT_EQ(duration_text(f.breaks), c.breaks) << c.what;
        EXPECT_EQ(duration_text(f.night), c.night) << c.what;
        EXPECT_EQ(duration_text(f.overtime), c.overtime) << c.what;
        EXPECT_EQ(dur_or_empty(f.late), c.late) << c.what;
        EXPECT_EQ(dur_or_empty(f.early), c.early) << c.what;
        EXPECT_TRUE(m.days[0].notes.empty()) << c.what;
        EXPECT_EQ(m.totals.worked, f.worked) << c.what;
    }
}

// Each unpaired stamp is listed on the business day of the stamp, as what it lacks.
TEST(ReportRules, UnpairedStampsAreListedOnTheirDay) {
    const Timesheet t = sheet_of({
        stamp("2026/11/2 8:00", "1", "佐藤", 1),  // out 16:01 later: too late to end it
        stamp("2026/11/3 0:01", "1", "佐藤", 2),  // ... and a shift-out without a shift-in (day of 2 Nov)
        stamp("2026/11/3 4:59", "1", "佐藤", 2),  // another, still the business day of 2 Nov
        stamp("2026/11/3 23:00", "1", "佐藤", 1), // never ended within the business day:
        stamp("2026/11/4 6:00", "1", "佐藤", 1),  // a shift-in of the next business day does not move it
        stamp("2026/11/4 14:00", "1", "佐藤", 2),
        stamp("2026/11/5 5:00", "1", "佐藤", 1),  // a second shift-in more than 16 hours later, on the same
        stamp("2026/11/5 21:01", "1", "佐藤", 1), // business day: the first is left without its shift-out
        stamp("2026/11/5 22:00", "1", "佐藤", 2),
    });
    const MemberSheet& m = t.stores.at(0).members.at(0);
    ASSERT_EQ(m.days.size(), 4u);
    EXPECT_EQ(day_note_texts(m.days[3]), (std::vector<std::string>{"退勤なし (出勤 2026/11/5 5:00)"}));
    EXPECT_EQ(day_figures(m.days[3]).worked, 59);
    // The stamped first shift-in and last shift-out of a day count the unpaired stamps too.
    EXPECT_EQ(report::clock_text(*stamped_ends(m.days[0]).logged_in), "8:00");
    EXPECT_EQ(report::clock_text(*stamped_ends(m.days[0]).logged_out), "4:59");
    EXPECT_EQ(report::clock_text(*stamped_ends(m.days[3]).logged_in), "5:00");
    EXPECT_EQ(day_note_texts(m.days[0]),
              (std::vector<std::string>{"退勤なし (出勤 2026/11/2 8:00)", "出勤なし (退勤 2026/11/3 0:01)",
                                        "出勤なし (退勤 2026/11/3 4:59)"}));
    EXPECT_EQ(day_note_texts(m.days[1]), (std::vector<std::string>{"退勤なし (出勤 2026/11/3 23:00)"}));
    EXPECT_EQ(report::date_text(m.days[2].day), "2026/11/4");
    EXPECT_EQ(day_figures(m.days[2]).worked, 8 * 60);
    EXPECT_EQ(m.totals.worked, 8 * 60 + 59);
    EXPECT_EQ(m.totals.days, 2); // days with a stay
    EXPECT_EQ(t.anomalies, 5u);
}

TEST(ReportRules, MemberAnomaliesAndMembersPerStore) {
    std::vector<std::string> lines = {
        stamp("2026/11/2 9:00", "1", "佐藤", 1),      stamp("2026/11/2 10:00", "1", "佐藤 花子", 2),
        stamp("2026/11/2 9:00", "4567", "<4567>", 1), stamp("2026/11/2 10:00", "4567", "<4567>", 2),
        stamp("2026/11/2 9:00", "2", "鈴木", 1),      stamp("2026/11/2 10:00", "2", "鈴木", 2),
    };
    lines.push_back("T02,2026/11/2 9:00,1,佐藤,1,,,A"); // the same code in another store is another member
    lines.push_back("T02,2026/11/2 9:30,1,佐藤,2,,,A");
    const Timesheet t = sheet_of(lines, INT32_MIN, INT32_MAX, std::set<std::string>{"1", "2"});
    ASSERT_EQ(t.stores.size(), 2u);
    const auto& s = t.stores[0].members;
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0].code, "1");
    EXPECT_EQ(s[0].notes, (std::vector<std::string>{"コードに氏名が複数: 佐藤 / 佐藤 花子"}));
    EXPECT_EQ(s[1].code, "2");
    EXPECT_TRUE(s[1].notes.empty());
    EXPECT_EQ(s[2].notes, (std::vector<std::string>{"キーで仮登録したカード", "メンバーリストにないコード"}));
    EXPECT_EQ(t.stores[0].totals.worked, 3 * 60);
    EXPECT_EQ(t.stores[1].totals.worked, 30);
    EXPECT_TRUE(t.stores[1].members[0].notes.empty());
    EXPECT_EQ(t.anomalies, 3u);
    EXPECT_EQ(t.members, 4u);
}

// A name is compared as text: 髙 in its two code page 932 forms is one name. Only the reported days' stamps
// name the member: a name 15 hours before the month, on a stamp that pairs nothing in it, is no second name
// (read here by another reader, whose names are numbered apart).
TEST(ReportRules, NamesAreTextOfTheReportedDaysStamps) {
    const std::string taka_nec = "\xEE\xE0" + cp932::from_utf8("橋"), taka_ibm = "\xFB\xFC" + cp932::from_utf8("橋");
    StampCollector c(pairing_window(day_of(2026, 11, 1), day_of(2026, 11, 30)));
    StampCollector later(pairing_window(day_of(2026, 11, 1), day_of(2026, 11, 30)));
    EXPECT_EQ(c.add_line(cp932::from_utf8(stamp("2026/10/31 14:00", "1", "佐藤", 2))), LineKind::Taken);
    for (const std::string& line :
         {"T01,2026/11/2 9:00,3," + taka_nec + ",1,,,A", "T01,2026/11/2 17:00,3," + taka_ibm + ",2,,,A",
          cp932::from_utf8(stamp("2026/11/1 9:00", "1", "佐藤 花子", 1)),
          cp932::from_utf8(stamp("2026/11/1 12:00", "1", "佐藤 花子", 2))}) {
        EXPECT_EQ(later.add_line(line), LineKind::Taken);
    }
    c.append(std::move(later));
    const Timesheet t = build_timesheet(c.collected(), day_of(2026, 11, 1), day_of(2026, 11, 30), {});
    ASSERT_EQ(t.stores.at(0).members.size(), 2u);
    EXPECT_EQ(t.stores[0].members[0].name, "佐藤 花子");
    EXPECT_EQ(t.stores[0].members[1].name, "髙橋");
    EXPECT_EQ(t.anomalies, 0u);
}

// Before 1970 the minutes are negative: a day is still the one the minute falls in.
TEST(ReportRules, DaysBefore1970) {
    const Timesheet t = sheet_of({stamp("1969/12/31 1:00", "1", "佐藤", 1), stamp("1969/12/31 3:00", "1", "佐藤", 2),
                                  stamp("1969/12/31 9:00", "1", "佐藤", 1)});
    const MemberSheet& m = t.stores.at(0).members.at(0);
    ASSERT_EQ(m.days.size(), 2u);
    EXPECT_EQ(report::date_text(m.days[0].day), "1969/12/30");
    EXPECT_EQ(day_figures(m.days[0]).night, 2 * 60);
    EXPECT_EQ(day_note_texts(m.days[1]), (std::vector<std::string>{"退勤なし (出勤 1969/12/31 9:00)"}));
}

// A stay that began the evening before the range still ends in it; the night before the range is not shown.
TEST(ReportRules, RangeKeepsStaysAtItsEdges) {
    const std::vector<std::string> lines = {
        stamp("2026/10/31 22:00", "1", "佐藤", 1), stamp("2026/11/1 6:00", "1", "佐藤", 2),
        stamp("2026/11/1 9:00", "1", "佐藤", 1),   stamp("2026/11/1 17:00", "1", "佐藤", 2),
        stamp("2026/11/30 20:00", "1", "佐藤", 1), stamp("2026/12/1 5:30", "1", "佐藤", 2),
        stamp("2026/12/1 5:31", "1", "佐藤", 1),
    };
    const Timesheet t = sheet_of(lines, day_of(2026, 11, 1), day_of(2026, 11, 30));
    const MemberSheet& m = t.stores.at(0).members.at(0);
    ASSERT_EQ(m.days.size(), 2u);
    EXPECT_EQ(report::date_text(m.days[0].day), "2026/11/1");
    EXPECT_EQ(day_figures(m.days[0]).worked, 8 * 60);
    EXPECT_EQ(report::date_text(m.days[1].day), "2026/11/30");
    EXPECT_EQ(day_figures(m.days[1]).worked, 9 * 60 + 30);
    EXPECT_EQ(t.anomalies, 0u);
}

TEST(ReportRules, OnlyLinesAsTheRecorderWritesThemAreRead) {
    EXPECT_TRUE(parse_stamp_line("T01,2026/11/2 9:05,1,x,1,,,A"));
    EXPECT_TRUE(parse_stamp_line("T01,2026/11/2 9:05,1,x,2,9:00,17:00,"));
    for (const char* bad :
         {"", "T01,2026/11/2 9:05,1,x,1,,", "T01,2026/11/2 9:05,1,x,1,,,A,B", ",2026/11/2 9:05,1,x,1,,,A",
          "T01,2026/11/2 9:05,,x,1,,,A", "T01,2026/11/2 9:05,1,x,3,,,A", "T01,2026/11/2 9:05:00,1,x,1,,,A",
          "T01,2026/2/29 9:05,1,x,1,,,A", "T01,2026/11/2 24:00,1,x,1,,,A", "T01,26/11/2 9:05,1,x,1,,,A"}) {
        EXPECT_FALSE(parse_stamp_line(bad)) << bad;
    }
    EXPECT_EQ(parse_stamp_line("T01,2026/11/2 9:05,1,x,1,9:00,17:00,A")->planned_leave, 17 * 60);
    EXPECT_FALSE(parse_stamp_line("T01,2026/11/2 9:05,1,x,1,早番,,A")->planned_start); // not a time: no plan
    EXPECT_TRUE(parse_stamp_line("T01,2026/11/2 9:05,1,x,1,早番,,A")->odd_plan);
    EXPECT_TRUE(parse_stamp_line("T01,2026/11/2 9:05,1,x,1,9:00,24:00,A")->odd_plan);
    EXPECT_FALSE(parse_stamp_line("T01,2026/11/2 9:05,1,x,1,09:00,23:59,A")->odd_plan);
    // A business day begins at 5:00.
    EXPECT_EQ(report::business_day_of(*report::parse_stamp_minute("2026/11/3 4:59")), day_of(2026, 11, 2));
    EXPECT_EQ(report::business_day_of(*report::parse_stamp_minute("2026/11/3 5:00")), day_of(2026, 11, 3));
}

// Breaks: at least 45 minutes on a day worked over 6 hours, 60 over 8.
TEST(ReportLaw, BreaksShortOfTheTimeWorked) {
    struct Case {
        std::int64_t worked, breaks;
        bool short_break;
    };
    for (const Case& c : {Case{360, 0, false}, Case{361, 44, true}, Case{361, 45, false}, Case{480, 45, false},
                          Case{481, 59, true}, Case{481, 60, false}}) {
        EXPECT_EQ(break_short(c.worked, c.breaks), c.short_break) << c.worked << " " << c.breaks;
    }
}

// The week of Sunday 29 November 2026 to Saturday 5 December: 8 hours a day, 9 on Wednesday. The December sheet
// counts the November days towards the week's 40 hours; the hour beyond 8 on Wednesday is not counted twice.
TEST(ReportLaw, TheWeekCountsItsDaysInTheMonthBefore) {
    std::vector<std::string> lines;
    for (int d : {29, 30}) {
        lines.push_back(stamp("2026/11/" + std::to_string(d) + " 9:00", "1", "佐藤", 1));
        lines.push_back(stamp("2026/11/" + std::to_string(d) + " 17:00", "1", "佐藤", 2));
    }
    for (int d : {1, 2, 3, 4, 5}) {
        lines.push_back(stamp("2026/12/" + std::to_string(d) + " 9:00", "1", "佐藤", 1));
        lines.push_back(stamp("2026/12/" + std::to_string(d) + (d == 2 ? " 18:00" : " 17:00"), "1", "佐藤", 2));
    }
    struct Case {
        const char* what;
        int week_start;
        std::vector<std::int64_t> weekly; // 1 to 5 December
        std::int64_t overtime;
    };
    for (const Case& c : {Case{"from Sunday", *parse_week_start("sun"), {0, 0, 0, 480, 480}, 17LL * 60},
                          Case{"from Monday", *parse_week_start("Monday"), {0, 0, 0, 0, 480}, 9LL * 60},
                          Case{"from Tuesday", *parse_week_start("火曜日"), {0, 0, 0, 0, 0}, 60},
                          Case{"from Saturday", *parse_week_start("6"), {0, 0, 0, 480, 0}, 9LL * 60}}) {
        const Timesheet t = sheet_of(lines, day_of(2026, 12, 1), day_of(2026, 12, 31), {}, c.week_start);
        const MemberSheet& m = t.stores.at(0).members.at(0);
        std::vector<std::int64_t> weekly;
        for (const auto& d : m.law.days) {
            weekly.push_back(d.weekly);
        }
        EXPECT_EQ(weekly, c.weekly) << c.what;
        EXPECT_EQ(m.law.totals.overtime, c.overtime) << c.what;
        ASSERT_EQ(m.law.months.size(), 1u) << c.what;
        EXPECT_EQ(m.law.months[0].overtime, c.overtime) << c.what;
    }
    // Weeks from Wednesday: 25 November is the week's first day, six days before the sheet's.
    std::vector<std::string> wednesday;
    for (int d : {25, 27, 28, 29, 30}) {
        wednesday.push_back(stamp("2026/11/" + std::to_string(d) + " 9:00", "1", "佐藤", 1));
        wednesday.push_back(stamp("2026/11/" + std::to_string(d) + " 17:00", "1", "佐藤", 2));
    }
    wednesday.push_back(stamp("2026/12/1 9:00", "1", "佐藤", 1));
    wednesday.push_back(stamp("2026/12/1 10:00", "1", "佐藤", 2));
    const Timesheet w = sheet_of(wednesday, day_of(2026, 12, 1), day_of(2026, 12, 31), {}, *parse_week_start("wed"));
    EXPECT_EQ(w.stores.at(0).members.at(0).law.totals.weekly, 60);
    for (const char* tuesday : {"2", "火", "火曜", "火曜日", "tue", "TUESDAY"}) {
        EXPECT_EQ(parse_week_start(tuesday), 2) << tuesday;
    }
    for (const char* no_day : {"7", "-1", "su", "tues", "曜日", ""}) {
        EXPECT_FALSE(parse_week_start(no_day)) << no_day;
    }
}

// One day a month carrying the month's overtime (none for -1); the days' figures as the pairing leaves them.
MemberLaw months_of(const std::vector<std::int64_t>& overtime) {
    std::vector<DayFigures> days;
    for (std::size_t i = 0; i < overtime.size(); ++i) {
        if (overtime[i] < 0) {
            continue;
        }
        DayFigures f;
        f.day = day_of(2026, static_cast<int>(i) + 1, 1); // the first: a month begins on it
        f.overtime = overtime[i];
        f.worked = regular_day_minutes + overtime[i];
        f.breaks = 60;
        days.push_back(f);
    }
    return member_law(days, day_of(2026, 1, 1), 0);
}

TEST(ReportLaw, MonthLimitsAtTheirEdges) {
    struct Case {
        std::int64_t overtime;
        std::int64_t beyond_60;
        std::vector<std::string> notes;
    };
    for (const Case& c : {
             Case{45LL * 60, 0, {}},
             Case{45 * 60 + 1, 0, {"2026/1 時間外 45時間超 (45:01)"}},
             Case{60LL * 60, 0, {"2026/1 時間外 45時間超 (60:00)"}},
             Case{60 * 60 + 1, 1, {"2026/1 時間外 45時間超 (60:01)"}},
             Case{100 * 60 - 1, 40 * 60 - 1, {"2026/1 時間外 45時間超 (99:59)"}},
             Case{100LL * 60, 40LL * 60, {"2026/1 時間外 45時間超 (100:00)", "2026/1 時間外 100時間以上 (100:00)"}},
         }) {
        const MemberLaw law = months_of({c.overtime});
        ASSERT_EQ(law.months.size(), 1u);
        EXPECT_EQ(law.months[0].beyond_60, c.beyond_60) << c.overtime;
        EXPECT_EQ(law.days.at(0).beyond_60, c.beyond_60) << c.overtime;
        EXPECT_EQ(law.months[0].notes, c.notes) << c.overtime;
    }
}

// Averages over the 2 to 6 months that end in a month pass 80 hours; a 7-month one is not a limit.
TEST(ReportLaw, AveragesOverTwoToSixMonths) {
    const std::int64_t eighty = 80LL * 60;
    const MemberLaw seven = months_of({eighty + 1, eighty, eighty, eighty, eighty, eighty, eighty});
    ASSERT_EQ(seven.months.size(), 7u);
    EXPECT_EQ(seven.months[1].notes.back(), "2026/2 時間外 2〜6か月平均 80時間超 (2か月 80:01)");
    EXPECT_EQ(seven.months[6].notes, std::vector<std::string>{"2026/7 時間外 45時間超 (80:00)"});
    const MemberLaw six = months_of({0, eighty + 1, eighty, eighty, eighty, eighty, eighty});
    EXPECT_EQ(six.months[6].notes.back(), "2026/7 時間外 2〜6か月平均 80時間超 (6か月 80:01)");
    // A month without a day in between counts as a month without overtime.
    const MemberLaw gap = months_of({eighty * 2, -1, eighty + 1});
    ASSERT_EQ(gap.months.size(), 3u);
    EXPECT_EQ(gap.months[2].notes.back(), "2026/3 時間外 2〜6か月平均 80時間超 (3か月 80:01)");
}

} // namespace
