#include "lists/ShiftPlan.h"

#include "app/recorder/StoreLists.h"
#include "core/ErrorNumber.h"
#include "support/FakeServices.h"
#include "support/FtpTestServer.h"
#include "support/RecorderParts.h"
#include "support/TempRoot.h"
#include "view/WindowModel.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;

namespace {

// An empty board, as the start-up leaves it, and the plan's title.
struct Shown {
    BoardState board;
    std::string title;
};

struct Row {
    std::string st, cast, kt;
    double pt;
};

Row row_of(const BoardState& board, int r) {
    const auto& b = board.rows[static_cast<std::size_t>(r)];
    return {b.planned_start, b.name, b.planned_leave, b.name_pt};
}

void expect_row(const BoardState& board, int r, const Row& want) {
    const Row got = row_of(board, r);
    EXPECT_EQ(got.st, want.st) << "row " << r;
    EXPECT_EQ(got.cast, want.cast) << "row " << r;
    EXPECT_EQ(got.kt, want.kt) << "row " << r;
    EXPECT_EQ(got.pt, want.pt) << "row " << r;
}

} // namespace

TEST(ShiftPlan, FileNameTakesTheLastTwoCharactersOfTheStoreCode) {
    EXPECT_EQ(shift_file_name("T99"), "S99_SHIFT.csv");
    EXPECT_EQ(shift_file_name("T04"), "S04_SHIFT.csv");
    EXPECT_EQ(shift_file_name("7"), "S7_SHIFT.csv");
    EXPECT_EQ(shift_file_name(""), "S_SHIFT.csv");
    EXPECT_EQ(shift_file_name("店舗５"), "S舗５_SHIFT.csv");
}

TEST(ShiftPlan, TodaysLinesFillRowsInFileOrderWithTheirFontRule) {
    TempRoot root;
    root.write_bytes("zerbanto/S04_SHIFT.csv",
                     cp932_lines({"161207,昨日の人,x,9:00,18:00", "161208,山田花子さん,x,9:00,18:00,extra",
                                  "99999,12月8日のシフト", "161209,明日の人,x,10:00,19:00",
                                  "161208,佐藤一郎さんだ,x,12:30,21:00", "161208,山田花子さん,x,19:00,22:00"}));
    Shown shown;
    const BoardState fresh = shown.board;
    load_shift_plan(shown.board, shown.title, root.zerbanto() / "S04_SHIFT.csv", "161208");
    EXPECT_EQ(shown.title, "12月8日のシフト");
    expect_row(shown.board, 0, {"9:00", "山田花子さん", "18:00", 20});    // 6 characters
    expect_row(shown.board, 1, {"12:30", "佐藤一郎さんだ", "21:00", 18}); // 7 characters
    expect_row(shown.board, 2, {"19:00", "山田花子さん", "22:00", 20});   // planned twice: two rows
    expect_row(shown.board, 3, row_of(fresh, 3));

    Shown tomorrow;
    load_shift_plan(tomorrow.board, tomorrow.title, root.zerbanto() / "S04_SHIFT.csv", "161209");
    EXPECT_EQ(tomorrow.title, "12月8日のシフト");
    expect_row(tomorrow.board, 0, {"10:00", "明日の人", "19:00", 20});
    Shown none;
    load_shift_plan(none.board, none.title, root.zerbanto() / "S04_SHIFT.csv", "161210");
    expect_row(none.board, 0, row_of(fresh, 0));
}

// A line that cannot be taken stops the loading there; what came before stays, nothing after is read.
TEST(ShiftPlan, StopsAtTheFirstLineItCannotTake) {
    struct Case {
        const char* name;
        std::vector<std::string> bad_lines;
        Row row1;
    };
    const Shown fresh;
    const Row untouched = row_of(fresh.board, 1);
    const std::vector<Case> cases{
        {"four fields", {"161208,短い人,x,10:00"}, {"10:00", untouched.cast, untouched.kt, untouched.pt}},
        {"three fields", {"161208,短い人,x"}, untouched},
        {"empty line", {""}, untouched},
        {"title without text", {"99999"}, untouched},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempRoot root;
        std::string bytes = cp932_lines({"99999,最初の題", "161208,先の人,x,9:00,18:00"});
        for (const auto& l : c.bad_lines) {
            bytes += cp932_lines({l});
        }
        bytes += cp932_lines({"161208,後の人,x,11:00,20:00", "99999,後の題"});
        root.write_bytes("zerbanto/S04_SHIFT.csv", bytes);
        Shown shown;
        try {
            load_shift_plan(shown.board, shown.title, root.zerbanto() / "S04_SHIFT.csv", "161208");
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), ErrorNumber::SubscriptOutOfRange);
        }
        expect_row(shown.board, 0, {"9:00", "先の人", "18:00", 20});
        expect_row(shown.board, 1, c.row1);
        EXPECT_EQ(shown.title, "最初の題");
    }
}

TEST(ShiftPlan, TheTwentySeventhRowOfTheDayStopsTheLoading) {
    TempRoot root;
    std::string bytes;
    for (int i = 0; i < 27; ++i) {
        bytes += cp932_lines({"161208,人" + std::to_string(i) + ",x,9:00,18:00"});
    }
    root.write_bytes("zerbanto/S04_SHIFT.csv", bytes);
    Shown shown;
    EXPECT_THROW(load_shift_plan(shown.board, shown.title, root.zerbanto() / "S04_SHIFT.csv", "161208"), RuntimeError);
    EXPECT_EQ(shown.board.rows[25].name, "人25");
}

TEST(ShiftPlan, StandAloneLoadsNoPlanEvenWhenOneIsOnDisk) {
    TempRoot root;
    root.write_bytes("zerbanto/S04_SHIFT.csv", cp932_lines({"99999,題", "161208,山田,x,9:00,18:00"}));
    TestRecorder rig(root.path());
    use_store(*rig.rec, "T04");
    rig.clock.set(*DateTime::make(2016, 12, 8, 9, 0, 0));
    const std::string shift_caption = window_of(*rig.rec).lbl_shift.text;
    RecorderParts::lists(*rig.rec).load_todays_shift_plan(RecorderParts::card(*rig.rec).board());
    EXPECT_EQ(window_of(*rig.rec).lbl_shift.text, shift_caption);
    EXPECT_EQ(rig.rec->card().board().rows[0].name, "");
    EXPECT_FALSE(fs::exists(root.zerbanto() / "ftp_bat2.txt"));
}

// Connected: the plan is fetched and today's calendar date chooses the lines, also before 5:00; when the
// transfer fails, the copy of an earlier run is used.
TEST(ShiftPlan, ConnectedFetchesThePlanOrFallsBackToTheEarlierCopy) {
    for (const bool server_up : {true, false}) {
        SCOPED_TRACE(server_up ? "server up" : "server down");
        FtpTestServer server;
        ASSERT_GT(server.port(), 0);
        std::ofstream(server.sub() / "S04_SHIFT.csv", std::ios::binary)
            << cp932_lines({"99999,本部の題", "161207,昨日の人,x,9:00,18:00", "161208,今日の人,x,1:00,4:30"});
        int port = server.port();
        if (!server_up) {
            server.stop();
            port = unused_port();
        }
        TempRoot root;
        root.write_bytes("zerbanto/s04_shift.CSV", cp932_lines({"99999,前回の題", "161208,前回の人,x,2:00,5:00"}));
        TestRecorder rig(root.path(), {}, ftp_options(port));
        use_store(*rig.rec, "T04");
        rig.clock.set(*DateTime::make(2016, 12, 8, 2, 0, 0));
        RecorderParts::lists(*rig.rec).load_todays_shift_plan(RecorderParts::card(*rig.rec).board());
        if (server_up) {
            EXPECT_EQ(window_of(*rig.rec).lbl_shift.text, "本部の題");
            expect_row(rig.rec->card().board(), 0, {"1:00", "今日の人", "4:30", 20});
        } else {
            EXPECT_EQ(window_of(*rig.rec).lbl_shift.text, "前回の題");
            expect_row(rig.rec->card().board(), 0, {"2:00", "前回の人", "5:00", 20});
        }
        EXPECT_NE(root.read_bytes("zerbanto/ftp_bat2.txt").find("get S04_SHIFT.csv c:\\zerbanto\\S04_SHIFT.csv\r\n"),
                  std::string::npos);
    }
}
