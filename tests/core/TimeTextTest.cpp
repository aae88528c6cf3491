#include "core/TimeText.h"

#include <gtest/gtest.h>

using namespace timetext;

TEST(TimeText, ClockAndBoardTextsDropLeadingZerosOfTheHourOnly) {
    EXPECT_EQ(hms(DateTime{2026, 12, 8, 9, 5, 7}), "9:05:07");
    EXPECT_EQ(hms(DateTime{2026, 12, 8, 0, 0, 0}), "0:00:00");
    EXPECT_EQ(hms(DateTime{2026, 12, 8, 23, 53, 0}), "23:53:00");
    EXPECT_EQ(hm(0), "0:00");
    EXPECT_EQ(hm(7 * 3600 + 5 * 60 + 59), "7:05"); // seconds are dropped, not rounded
    EXPECT_EQ(log_stamp(DateTime{2014, 12, 7, 9, 5, 30}), "2014/12/7 9:05");
    EXPECT_EQ(log_stamp(DateTime{2026, 1, 1, 0, 0, 0}), "2026/1/1 0:00");
}

TEST(TimeText, DurationsWrapAtTwentyFourHours) {
    EXPECT_EQ(add_hm("23:50", "0:20"), "0:10");
    EXPECT_EQ(add_hm("23:30", "1:00"), "0:30");
    EXPECT_EQ(add_hm("2:10", "1:55"), "4:05");
    EXPECT_EQ(add_hm("", "1:00"), std::nullopt);
    EXPECT_EQ(hm(-60), "23:59");
    EXPECT_EQ(hm(24 * 3600 + 65), "0:01");
}

TEST(TimeText, DateLabelUsesTheFixedWeekdayTable) {
    EXPECT_EQ(date_label(DateTime{2024, 1, 1}), "1月1日(月)");
    EXPECT_EQ(date_label(DateTime{2014, 12, 7}), "12月7日(日)");
    EXPECT_EQ(date_label(DateTime{2018, 12, 31}), "12月31日(月)");
    EXPECT_EQ(date_label(DateTime{2026, 12, 12}), "12月12日(土)");
    EXPECT_EQ(yymmdd(DateTime{2016, 7, 14}), "160714");
    EXPECT_EQ(hhnn(DateTime{2016, 3, 1, 9, 7}), "0907");
}

TEST(TimeText, ParsesTimesOfDayAndRejectsWhatIsNone) {
    EXPECT_EQ(parse_time_of_day("9:05"), 9 * 3600 + 5 * 60);
    EXPECT_EQ(parse_time_of_day(" 01:30 "), 5400);
    EXPECT_EQ(parse_time_of_day("23:59:59"), 86399);
    for (const char* bad : {"", "24:00", "12:60", "12", "12:3x", "abc", "1:2:3:4", "-1:00"}) {
        EXPECT_EQ(parse_time_of_day(bad), std::nullopt) << bad;
    }
}

TEST(TimeText, ParsesLogDateTimes) {
    EXPECT_EQ(parse_date_time("2014/12/7 9:05"), (DateTime{2014, 12, 7, 9, 5, 0}));
    EXPECT_EQ(parse_date_time("2026-03-06 04:59:59"), (DateTime{2026, 3, 6, 4, 59, 59}));
    EXPECT_EQ(parse_date_time("2026/3/6"), (DateTime{2026, 3, 6, 0, 0, 0}));
    for (const char* bad : {"", "2026/2/30 9:00", "2026/13/1", "2026/1/1 25:00", "2026/1/1x", "yesterday"}) {
        EXPECT_EQ(parse_date_time(bad), std::nullopt) << bad;
    }
}

TEST(DateTime, ArithmeticCrossesMidnightMonthsAndLeapDays) {
    EXPECT_EQ(DateTime({2024, 2, 28, 23, 59, 59}).plus_millis(1000), (DateTime{2024, 2, 29, 0, 0, 0}));
    EXPECT_EQ(DateTime({2026, 12, 31, 23, 59, 50}).plus_millis(20'000), (DateTime{2027, 1, 1, 0, 0, 10}));
    EXPECT_EQ(DateTime({2026, 3, 1, 0, 0, 0}).plus_millis(-1), (DateTime{2026, 2, 28, 23, 59, 59, 999}));
    EXPECT_LT((DateTime{2026, 12, 7, 23, 59, 50}), (DateTime{2026, 12, 8, 0, 0, 10}));
}
