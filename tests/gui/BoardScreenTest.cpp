#include "gui/MainWindow.h"

#include "app/recorder/Recorder.h"
#include "board/Board.h"
#include "board/ElapsedTime.h"
#include "support/FakeServices.h"
#include "support/GuiApp.h"
#include "support/RecorderParts.h"
#include "support/TempRoot.h"

#include <QApplication>
#include <QLabel>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const QLabel* cell(const QWidget& w, const char* col, int row) {
    return w.findChild<QLabel*>(QStringLiteral("lbl_%1(%2)").arg(QString::fromLatin1(col)).arg(row));
}

bool shows_back(const QLabel* label, const Color& c) {
    return label != nullptr && label->styleSheet().contains(QStringLiteral("background-color: ") +
                                                            QColor(c.red(), c.green(), c.blue()).name());
}

// Where the window's picture goes: TR_SCREEN_DIR when set (the screenshot script), else the working folder.
QString screen_file(const char* name) {
    const char* dir = std::getenv("TR_SCREEN_DIR");
    return (dir != nullptr ? QString::fromLocal8Bit(dir) + QStringLiteral("/") : QString()) + QString::fromLatin1(name);
}

} // namespace

// A board at 16:30 with every row state and both long-stay colours, as the shop sees it.
TEST(BoardScreen, ShowsEveryRowStateAndStayColour) {
    gui_app();
    TempRoot root;
    root.write_bytes("zerbanto/action01.txt", cp932_lines({"会社名= Corvale", "店舗CD = T01", "店舗名 = 第一店"}));
    root.write_bytes("zerbanto/E99_member.csv", cp932_lines({"123,佐藤 美咲,012E4C1B3A5F6D7E"}));
    TestRecorder t(root.path(), DateTime{2026, 12, 8, 16, 30, 0});
    t.rec->start();
    BoardState& board = RecorderParts::card(*t.rec).board();
    const std::array<std::array<const char*, 3>, 4> planned{{{"佐藤 美咲", "9:00", "17:00"},
                                                             {"鈴木 一郎", "10:00", "18:00"},
                                                             {"高橋 花子", "13:00", "21:00"},
                                                             {"田中 太郎", "17:00", "22:00"}}};
    for (std::size_t i = 0; i < planned.size(); ++i) {
        board.rows[i].name = planned[i][0];
        board.rows[i].name_pt = 20;
        board.rows[i].planned_start = planned[i][1];
        board.rows[i].planned_leave = planned[i][2];
    }
    put_stamp_on_board(board, "佐藤 美咲", 1, "9:00");  // 7:30 by now: salmon
    put_stamp_on_board(board, "鈴木 一郎", 1, "12:00"); // 4:30: yellow
    put_stamp_on_board(board, "高橋 花子", 1, "13:00");
    put_stamp_on_board(board, "高橋 花子", 2, "15:00");       // shifted out: grey
    put_stamp_on_board(board, "伊藤 さくら", 1, "14:00");     // not planned: a row below the plan
    put_stamp_on_board(board, "渡辺 由美子さん", 2, "15:10"); // first seen by a shift-out, a long name
    put_stamp_on_board(board, "山本", 1, "15:50");
    update_elapsed(board, t.clock.now().seconds_of_day());

    MainWindow window(*t.rec);
    window.resize(1366, 768);
    window.show();
    t.clock.advance_millis(1000);
    window.tick();
    window.sync();

    EXPECT_TRUE(shows_back(cell(window, "ET", 0), colors::salmon));
    EXPECT_EQ(cell(window, "ET", 0)->text(), QStringLiteral("7:30"));
    EXPECT_TRUE(shows_back(cell(window, "ET", 1), colors::yellow));
    EXPECT_TRUE(shows_back(cell(window, "Cast", 2), colors::shifted_out));
    EXPECT_TRUE(shows_back(cell(window, "Cast", 3), colors::neutral));
    EXPECT_TRUE(shows_back(cell(window, "Cast", 4), colors::on_shift));
    EXPECT_TRUE(shows_back(cell(window, "Cast", 5), colors::first_seen_out));
    EXPECT_LT(cell(window, "Cast", 5)->font().pixelSize(), cell(window, "Cast", 4)->font().pixelSize());
    for (const char* hidden : {"TT", "iT", "KT", "RT"}) {
        EXPECT_FALSE(cell(window, hidden, 0)->isVisible()) << hidden;
    }
    for (const char* shown : {"ST", "Cast", "ET"}) {
        EXPECT_TRUE(cell(window, shown, 25)->isVisible()) << shown;
    }
    for (const char* header : {"Label8", "Label9", "Label3"}) {
        const auto* h = window.findChild<QLabel*>(QString::fromLatin1(header));
        ASSERT_NE(h, nullptr);
        EXPECT_TRUE(h->isVisible()) << header;
    }
    for (const char* hidden : {"Label6", "lbl_debug(2)", "lbl_debug(6)", "lbl_debug(7)", "lbl_debug(8)"}) {
        const auto* h = window.findChild<QLabel*>(QString::fromLatin1(hidden));
        ASSERT_NE(h, nullptr);
        EXPECT_FALSE(h->isVisible()) << hidden;
    }

    const QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.size(), QSize(1366, 768));
    EXPECT_TRUE(shot.save(screen_file("board.png")));
}
