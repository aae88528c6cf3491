#include "board/Board.h"
#include "board/ElapsedTime.h"
#include "core/TimeText.h"
#include "view/BoardView.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int at(int h, int m, int s = 0) {
    return h * 3600 + m * 60 + s;
}

// The board and the window that shows it.
struct Shown {
    BoardState board;
    FmMain form;
};

void show(Shown& s) {
    show_board(s.board, s.form);
    if (s.board.last_stamp) {
        show_stamp_row(s.form, s.board.last_stamp->row);
    }
}

Shown empty_board() {
    Shown s;
    s.board.clear();
    show(s);
    return s;
}

// A stamp put on the board, and the board shown.
void stamp_shown(Shown& s, std::string_view name, int mode, std::string_view time) {
    put_stamp_on_board(s.board, name, mode, time);
    show(s);
}

// The elapsed times refreshed, and the board shown.
void refresh_shown(Shown& s, int now_seconds_of_day) {
    update_elapsed(s.board, now_seconds_of_day);
    show(s);
}

const BoardRow& row(const FmMain& form, int i) {
    return form.board.at(static_cast<std::size_t>(i));
}

// What the shift plan leaves: planned names with their times in the first rows.
void plan(Shown& s, int i, const std::string& name, const std::string& start, const std::string& leave) {
    auto& r = s.board.rows.at(static_cast<std::size_t>(i));
    r.name = name;
    r.planned_start = start;
    r.planned_leave = leave;
    show(s);
}

TEST(Board, ClearEmptiesEveryRowAndKeepsTheNameFonts) {
    Shown s;
    s.board.rows[4].name = "佐藤";
    s.board.rows[4].shift = ShiftState::OnShift;
    s.board.rows[4].stay_mark = StayMark::FromSix;
    s.board.rows[4].name_pt = 18;
    put_stamp_on_board(s.board, "鈴木", 1, "9:00");
    s.board.clear();
    show(s);
    for (const auto& r : s.form.board) {
        for (const auto& [col, c] : cells_of(r)) {
            EXPECT_EQ("", c->text) << col;
        }
        for (const Control* c : {&r.ST, &r.KT, &r.Cast, &r.ET, &r.iT}) {
            EXPECT_EQ(colors::neutral, c->back);
        }
    }
    EXPECT_EQ(18, s.form.board[4].Cast.pt); // each new row sets its own font
    ASSERT_TRUE(s.board.last_stamp);        // lbl_disp_yy keeps the last stamp's row
    EXPECT_EQ(std::optional<std::size_t>(0), s.board.last_stamp->row);
}

TEST(Board, PlannedMemberUsesTheirRowAndOthersGoBelowThePlan) {
    Shown s = empty_board();
    FmMain& form = s.form;
    plan(s, 0, "佐藤", "9:00", "17:00");
    plan(s, 1, "鈴木", "10:00", "18:00");
    plan(s, 2, "高橋　一郎", "11:00", "19:00"); // full-width space
    plan(s, 3, "田中", "12:00", "20:00");

    stamp_shown(s, "田中", 1, "11:55");
    EXPECT_EQ("3", form.lbl_disp_yy.text);
    EXPECT_EQ(colors::on_shift, row(form, 3).Cast.back);
    EXPECT_EQ("11:55", row(form, 3).iT.text);
    EXPECT_EQ("0:00", row(form, 3).ET.text);
    EXPECT_EQ("12:00", row(form, 3).ST.text);

    // One character different (half-width space): a new row, the planned one stays neutral.
    stamp_shown(s, "高橋 一郎", 1, "11:58");
    EXPECT_EQ("4", form.lbl_disp_yy.text);
    EXPECT_EQ("高橋 一郎", row(form, 4).Cast.text);
    EXPECT_EQ("", row(form, 4).ST.text);
    EXPECT_EQ(colors::neutral, row(form, 2).Cast.back);

    stamp_shown(s, "伊藤", 1, "12:00");
    EXPECT_EQ("5", form.lbl_disp_yy.text);
}

TEST(Board, EmptyPlannedRowEndsTheSearch) {
    Shown s = empty_board();
    FmMain& form = s.form;
    plan(s, 0, "佐藤", "9:00", "17:00");
    plan(s, 2, "鈴木", "10:00", "18:00"); // row 1 left empty by the plan
    stamp_shown(s, "鈴木", 1, "9:58");
    EXPECT_EQ("1", form.lbl_disp_yy.text);
    EXPECT_EQ("鈴木", row(form, 1).Cast.text);
    EXPECT_EQ(colors::neutral, row(form, 2).Cast.back);
}

TEST(Board, NameFontBySize) {
    Shown s = empty_board();
    FmMain& form = s.form;
    stamp_shown(s, "あいうえおか", 1, "9:00");   // 6 characters
    stamp_shown(s, "あいうえおかき", 1, "9:00"); // 7 characters
    stamp_shown(s, "abcdefg", 2, "9:00");
    EXPECT_EQ(20, row(form, 0).Cast.pt);
    EXPECT_EQ(18, row(form, 1).Cast.pt);
    EXPECT_EQ(18, row(form, 2).Cast.pt);
}

// One member's day: two stays with refreshes across the 4 h and 6 h marks, totals and colours.
TEST(Board, WholeDayOfOneMember) {
    Shown s = empty_board();
    FmMain& form = s.form;
    stamp_shown(s, "佐藤", 1, "9:00");
    const BoardRow& r = row(form, 0);
    EXPECT_EQ("0:00", r.ET.text);

    refresh_shown(s, at(11, 10, 30));
    EXPECT_EQ("2:10", r.ET.text);
    EXPECT_EQ("2:10", r.RT.text); // no completed stay yet
    EXPECT_EQ(colors::neutral, r.ET.back);

    stamp_shown(s, "佐藤", 2, "11:10");
    EXPECT_EQ(colors::shifted_out, r.Cast.back);
    EXPECT_EQ("2:10", r.TT.text);
    EXPECT_EQ("", r.ET.text);
    EXPECT_EQ("", r.iT.text);
    refresh_shown(s, at(11, 30));
    EXPECT_EQ("", r.ET.text); // not on shift: not recomputed
    EXPECT_EQ(colors::neutral, r.ET.back);

    stamp_shown(s, "佐藤", 1, "12:00");
    EXPECT_EQ(colors::on_shift, r.Cast.back);
    EXPECT_EQ("0:00", r.ET.text);
    refresh_shown(s, at(15, 59, 59));
    EXPECT_EQ("3:59", r.ET.text);
    EXPECT_EQ("6:09", r.RT.text);
    EXPECT_EQ(colors::neutral, r.ET.back);
    refresh_shown(s, at(16, 0));
    EXPECT_EQ("4:00", r.ET.text);
    EXPECT_EQ(colors::yellow, r.ET.back);
    refresh_shown(s, at(17, 59, 59));
    EXPECT_EQ(colors::yellow, r.ET.back);
    refresh_shown(s, at(18, 0));
    EXPECT_EQ("6:00", r.ET.text);
    EXPECT_EQ("8:10", r.RT.text);
    EXPECT_EQ(colors::salmon, r.ET.back);

    stamp_shown(s, "佐藤", 2, "18:00");
    EXPECT_EQ("8:10", r.TT.text);
    EXPECT_EQ(colors::neutral, r.ET.back);
    EXPECT_EQ("0", form.lbl_disp_yy.text);

    s.board.clear_totals();
    show(s);
    EXPECT_EQ("", r.TT.text);
    EXPECT_EQ("佐藤", r.Cast.text);
}

TEST(Board, RepeatedShiftInOnlyMovesTheInTime) {
    Shown s = empty_board();
    FmMain& form = s.form;
    stamp_shown(s, "佐藤", 1, "9:00");
    refresh_shown(s, at(10, 30));
    stamp_shown(s, "佐藤", 1, "10:30");
    const BoardRow& r = row(form, 0);
    EXPECT_EQ("10:30", r.iT.text);
    EXPECT_EQ("1:30", r.ET.text); // kept until the next refresh
    refresh_shown(s, at(10, 45));
    EXPECT_EQ("0:15", r.ET.text); // the earlier part of the stay is not counted
    stamp_shown(s, "佐藤", 2, "10:45");
    EXPECT_EQ("0:15", r.TT.text);
}

TEST(Board, ShiftOutWithoutRowThenShiftIn) {
    Shown s = empty_board();
    FmMain& form = s.form;
    stamp_shown(s, "佐藤", 2, "9:00");
    const BoardRow& r = row(form, 0);
    EXPECT_EQ(colors::first_seen_out, r.Cast.back);
    EXPECT_EQ("", r.iT.text);
    EXPECT_EQ("", r.ET.text);
    EXPECT_EQ("0", form.lbl_disp_yy.text);

    stamp_shown(s, "佐藤", 2, "9:05"); // out again: grey, total unchanged
    EXPECT_EQ(colors::shifted_out, r.Cast.back);
    EXPECT_EQ("", r.TT.text);

    stamp_shown(s, "佐藤", 1, "9:10");
    EXPECT_EQ(colors::on_shift, r.Cast.back);
    EXPECT_EQ("0:00", r.ET.text);
    EXPECT_EQ("9:10", r.iT.text);
}

TEST(Board, FullBoardLeavesTheHandBackEmpty) {
    Shown s = empty_board();
    FmMain& form = s.form;
    for (int i = 0; i < board_rows; ++i) {
        stamp_shown(s, "m" + std::to_string(i), 1, "9:00");
        ASSERT_EQ(std::to_string(i), form.lbl_disp_yy.text);
    }
    const FmMain before = form;
    stamp_shown(s, "outsider", 1, "9:30");
    EXPECT_EQ("", form.lbl_disp_yy.text);
    for (int i = 0; i < board_rows; ++i) {
        EXPECT_EQ(row(before, i).Cast.text, row(form, i).Cast.text);
        EXPECT_EQ(row(before, i).iT.text, row(form, i).iT.text);
    }
    stamp_shown(s, "m25", 2, "9:40");
    EXPECT_EQ("25", form.lbl_disp_yy.text);
    EXPECT_EQ(colors::shifted_out, row(form, 25).Cast.back);
}

TEST(Board, TotalsWrapAtTwentyFourHours) {
    Shown s = empty_board();
    FmMain& form = s.form;
    stamp_shown(s, "佐藤", 1, "0:00");
    const BoardRow& r = form.board[0];
    s.board.rows[0].total = 23 * 60 + 50;
    s.board.rows[0].stay = 20;
    stamp_shown(s, "佐藤", 2, "0:20");
    EXPECT_EQ("0:10", r.TT.text);
    EXPECT_EQ(10, s.board.rows[0].total); // the board holds what it shows
}

TEST(Board, EmptyNameTakesARowThatEndsTheSearch) {
    Shown s = empty_board();
    FmMain& form = s.form;
    stamp_shown(s, "", 1, "9:00");
    EXPECT_EQ("0", form.lbl_disp_yy.text);
    stamp_shown(s, "佐藤", 1, "9:01");
    EXPECT_EQ("0", form.lbl_disp_yy.text); // row 0 has no name, so the search ends there
    EXPECT_EQ("佐藤", row(form, 0).Cast.text);
}

struct ElapsedCase {
    const char* name;
    const char* in;
    int now;
    const char* tt;
    const char* et;
    const char* rt;
    Color back;
};

void PrintTo(const ElapsedCase& c, std::ostream* os) {
    *os << c.name;
}

class Elapsed : public testing::TestWithParam<ElapsedCase> {};

TEST_P(Elapsed, ContinuousAndCumulativeTime) {
    const auto& c = GetParam();
    Shown s = empty_board();
    FmMain& form = s.form;
    stamp_shown(s, "佐藤", 1, c.in);
    if (const auto tt = timetext::parse_time_of_day(c.tt)) {
        s.board.rows[0].total = *tt / 60;
    }
    refresh_shown(s, c.now);
    EXPECT_EQ(c.et, row(form, 0).ET.text);
    EXPECT_EQ(c.rt, row(form, 0).RT.text);
    EXPECT_EQ(*timetext::parse_time_of_day(c.rt) / 60, s.board.rows[0].cumulative); // held as shown
    EXPECT_EQ(c.back, row(form, 0).ET.back);
}

INSTANTIATE_TEST_SUITE_P(
    Board, Elapsed,
    testing::Values(
        ElapsedCase{"UnderFourHours", "10:15", at(12, 47, 30), "", "2:32", "2:32", colors::neutral},
        ElapsedCase{"FourHoursYellow", "10:15", at(14, 15), "", "4:00", "4:00", colors::yellow},
        ElapsedCase{"JustUnderSixYellow", "10:15", at(16, 14, 59), "", "5:59", "5:59", colors::yellow},
        ElapsedCase{"SixHoursSalmon", "10:15", at(16, 15), "", "6:00", "6:00", colors::salmon},
        ElapsedCase{"AcrossMidnight", "22:30", at(1, 10), "", "2:40", "2:40", colors::neutral}, // across midnight
        ElapsedCase{"InEqualsNow", "9:00", at(9, 0), "", "0:00", "0:00", colors::neutral},
        ElapsedCase{"ADayLessAMinute", "9:00", at(8, 59), "", "23:59", "23:59", colors::salmon}, // a day less a minute
        ElapsedCase{"CumulativeAddsTotal", "9:00", at(10, 5), "3:20", "1:05", "4:25", colors::neutral},
        ElapsedCase{"CumulativeWraps", "9:00", at(10, 5), "23:30", "1:05", "0:35", colors::neutral}),
    [](const testing::TestParamInfo<ElapsedCase>& p) { return std::string(p.param.name); });

TEST(Board, ElapsedColoursEveryRowAndEmptiesAStayWithoutInTime) {
    Shown s = empty_board();
    FmMain& form = s.form;
    stamp_shown(s, "佐藤", 1, "9:00");
    s.board.rows[0].time_in.clear();  // a stay without in-time is not a stay
    stamp_shown(s, "鈴木", 1, "9時"); // an in-time that cannot be read keeps the stay shown
    s.board.rows[20].stay_mark = StayMark::FromSix;
    refresh_shown(s, at(16, 0));
    EXPECT_EQ("", row(form, 0).ET.text);
    EXPECT_EQ("0:00", row(form, 1).ET.text);
    for (const auto& r : form.board) {
        EXPECT_EQ(colors::neutral, r.ET.back);
    }
}

} // namespace
