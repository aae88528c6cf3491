#include "board/DayRestore.h"

#include "app/recorder/CardTouches.h"
#include "app/recorder/Recorder.h"
#include "board/Board.h"
#include "core/Cp932.h"
#include "support/FakeServices.h"
#include "support/RecorderParts.h"
#include "support/TempRoot.h"
#include "view/WindowModel.h"

#include <gtest/gtest.h>

namespace {

TEST(DayRestore, BusinessDayStartsAtFive) {
    struct Case {
        DateTime now;
        DateTime start;
    };
    const Case cases[] = {
        {{2026, 3, 6, 4, 30, 0}, {2026, 3, 5, 5, 0, 0}}, {{2026, 3, 6, 4, 59, 59}, {2026, 3, 5, 5, 0, 0}},
        {{2026, 3, 6, 5, 0, 0}, {2026, 3, 6, 5, 0, 0}},  {{2026, 3, 6, 23, 59, 59}, {2026, 3, 6, 5, 0, 0}},
        {{2026, 3, 6, 0, 0, 0}, {2026, 3, 5, 5, 0, 0}},  {{2026, 1, 1, 0, 30, 0}, {2025, 12, 31, 5, 0, 0}},
        {{2024, 3, 1, 3, 0, 0}, {2024, 2, 29, 5, 0, 0}},
    };
    for (const auto& c : cases) {
        const DateTime s = business_day_start(c.now);
        EXPECT_EQ(s, c.start) << c.now.day << " " << c.now.hour << ":" << c.now.minute << " gave " << s.month << "/"
                              << s.day << " " << s.hour;
    }
}

class Restore : public testing::Test {
protected:
    void write_log(std::initializer_list<std::string_view> lines, std::string_view tail = {}) {
        root.write_bytes("zerbanto/KLOG_T01.csv", cp932_lines(lines) + std::string(tail));
    }
    std::unique_ptr<TestRecorder> restore_at(DateTime now) {
        auto t = std::make_unique<TestRecorder>(root.path(), now);
        use_store(*t->rec, "T01");
        RecorderParts::panel(*t->rec).lay_out();
        CardTouches& card = RecorderParts::card(*t->rec);
        plan(card.board(), 0, "佐藤");
        EXPECT_TRUE(card.restore_day());
        return t;
    }
    static void plan(BoardState& board, int i, const char* name) {
        board.rows.at(static_cast<std::size_t>(i)).name = name;
        board.rows.at(static_cast<std::size_t>(i)).planned_start = "9:00";
    }
    static BoardRow row(const TestRecorder& t, int i) {
        return window_of(*t.rec).board.at(static_cast<std::size_t>(i));
    }

    TempRoot root;
};

// A day's log with earlier days before it: only the business day's stamps are replayed, in file order.
TEST_F(Restore, ReplaysTheBusinessDayOnly) {
    write_log({"T01,2026/3/4 10:00,1,佐藤,1,9:00,17:00,A", // two days ago
               "T01,2026/3/5 4:59,2,鈴木,1,,,B",           // the business day before
               "T01,2026/3/5 5:00,3,高橋,1,,,C",           // the start itself belongs to the day
               "T01,2026/3/5 10:00,1,佐藤,1,9:00,17:00,A", "T01,2026/3/5 14:00,1,佐藤,2,9:00,17:00,A",
               "T01,2026/3/5 22:30,4,伊藤,1,,,D",
               "T01,2026/3/6 1:00,3,高橋,1,,,C"}); // a second shift-in after midnight
    const auto t = restore_at({2026, 3, 6, 4, 30, 0});
    EXPECT_EQ(row(*t, 0).Cast.text, "佐藤");
    EXPECT_EQ(row(*t, 0).Cast.back, colors::shifted_out);
    EXPECT_EQ(row(*t, 0).TT.text, "0:00"); // the replay adds the "0:00" its shift-in left
    EXPECT_EQ(row(*t, 1).Cast.text, "高橋");
    EXPECT_EQ(row(*t, 1).iT.text, "1:00");
    EXPECT_EQ(row(*t, 1).ET.text, "3:30"); // refreshed once, from the last shift-in
    EXPECT_EQ(row(*t, 2).Cast.text, "伊藤");
    EXPECT_EQ(row(*t, 2).ET.text, "6:00"); // across midnight
    EXPECT_EQ(row(*t, 2).ET.back, colors::salmon);
    EXPECT_EQ(row(*t, 3).Cast.text, ""); // 鈴木 stamped the day before
    EXPECT_TRUE(t->rec->card().log_open());
    EXPECT_EQ(window_of(*t->rec).lbl_disp_yy.text, "1"); // the row of the last stamp replayed
}

TEST_F(Restore, ALogOfEarlierDaysOnlyHandsNoRowBack) {
    write_log({"T01,2026/3/5 10:00,1,佐藤,1,9:00,17:00,A"});
    const auto t = restore_at({2026, 3, 6, 9, 0, 0});
    EXPECT_EQ(row(*t, 0).Cast.back, colors::neutral);
    EXPECT_EQ(window_of(*t->rec).lbl_disp_yy.text, FmMain().lbl_disp_yy.text); // no stamp replayed: as it was
}

TEST_F(Restore, AtFiveTheNewDayStartsEmpty) {
    write_log({"T01,2026/3/6 4:59,1,佐藤,1,,,A", "T01,2026/3/6 5:00,2,鈴木,1,,,B"});
    const auto t = restore_at({2026, 3, 6, 5, 0, 0});
    EXPECT_EQ(row(*t, 0).Cast.back, colors::neutral); // planned, not stamped today
    EXPECT_EQ(row(*t, 1).Cast.text, "鈴木");
    EXPECT_EQ(row(*t, 1).ET.text, "0:00");
}

// Damaged lines in the middle are passed over; the stamps after them are still replayed and the log is
// open for the day's further stamps, which start on a line of their own.
TEST_F(Restore, SkipsLinesItCannotReadAndGoesOn) {
    const std::string bad_bytes = "T01,2026/3/6 9:40,9,\x81\xff\x82,1,,,Z\r\n"; // does not decode
    root.write_bytes("zerbanto/KLOG_T01.csv",
                     cp932_lines({"T01,2026/3/6 9:00,1,佐藤,1,9:00,17:00,A", "", "T01,2026/3/6 9:10,2,鈴木",
                                  "T01,2026/3/6 9:x0,3,高橋,1,,,C", "T01,yesterday,3,高橋,1,,,C",
                                  "T01,2026/13/6 9:20,3,高橋,1,,,C"}) +
                         bad_bytes +
                         cp932_lines({"T01,2026/3/6 10:00,4,伊藤,1,,,D", "T01,2026/3/6 10:30,1,佐藤,2,,,A"}) +
                         "T01,2026/3/6 11:0");
    const auto t = restore_at({2026, 3, 6, 12, 0, 0});
    EXPECT_EQ(row(*t, 0).Cast.back, colors::shifted_out);
    EXPECT_EQ(row(*t, 1).Cast.text, "伊藤");
    EXPECT_EQ(row(*t, 1).ET.text, "2:00");
    EXPECT_EQ(row(*t, 2).Cast.text, "");
    ASSERT_TRUE(t->rec->card().log_open());
    RecorderParts::lists(*t->rec).members().slot(0) = {std::string("2"), "鈴木", "B"};
    RecorderParts::panel(*t->rec).choose_mode(StampMode::ShiftIn);
    t->reader.idm = "B";
    t->reader.arrived = true;
    t->wait_seconds(1);
    const std::string bytes = root.read_bytes("zerbanto/KLOG_T01.csv");
    EXPECT_NE(bytes.find("T01,2026/3/6 11:0\r\n" + cp932::from_utf8("T01,2026/3/6 12:00,2,鈴木,1,,,B") + "\r\n"),
              std::string::npos);
}

// "1" read as a number is a shift-in, also in a line of only five fields; any other mode a shift-out. An
// empty mode is a line torn after its fourth comma and is not replayed.
TEST_F(Restore, ModeIsANumber) {
    write_log({"T01,2026/3/6 9:00,1,a,1,,,A", "T01,2026/3/6 9:00,1,b, 1 ,,,A", "T01,2026/3/6 9:00,1,g,1",
               "T01,2026/3/6 9:00,1,c,2,,,A", "T01,2026/3/6 9:00,1,d,x,,,A", "T01,2026/3/6 9:00,1,f,1x,,,A",
               "T01,2026/3/6 9:00,1,e,,,,A", "T01,2026/3/6 9:00,1,h,"});
    const auto t = restore_at({2026, 3, 6, 9, 30, 0});
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(row(*t, i).Cast.back, colors::on_shift) << i;
    }
    for (int i = 4; i <= 6; ++i) {
        EXPECT_EQ(row(*t, i).Cast.back, colors::first_seen_out) << i;
    }
    EXPECT_EQ(row(*t, 3).Cast.text, "g");
    EXPECT_EQ(row(*t, 6).Cast.text, "f");
    EXPECT_EQ(row(*t, 7).Cast.text, "");
}

TEST_F(Restore, WithoutALogThePlanStaysAndTheLogIsCreated) {
    std::filesystem::create_directories(root.zerbanto());
    const auto t = restore_at({2026, 3, 6, 9, 0, 0});
    EXPECT_EQ(row(*t, 0).Cast.text, "佐藤");
    EXPECT_EQ(row(*t, 1).Cast.text, "");
    EXPECT_TRUE(t->rec->card().log_open());
    EXPECT_TRUE(std::filesystem::exists(root.zerbanto() / "KLOG_T01.csv"));
}

} // namespace
