// The rules of the timesheet on hand-made logs: pairing of stays, the day's figures, the anomalies.

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

} // namespace
