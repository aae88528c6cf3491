#include "gui/MainWindow.h"

#include "app/Recorder.h"
#include "support/FakeServices.h"
#include "support/GuiApp.h"
#include "support/TempRoot.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

QString text_of(const QWidget& w, const char* name) {
    const auto* l = w.findChild<QLabel*>(QString::fromLatin1(name));
    return l != nullptr ? l->text() : QStringLiteral("<missing>");
}

} // namespace

TEST(MainWindow, RendersTheModelAndForwardsClicks) {
    gui_app();
    TempRoot root;
    root.write_bytes("zerbanto/action01.txt", cp932_lines({"会社名= Corvale", "店舗CD = T01", "店舗名 = 第一店"}));
    root.write_bytes("zerbanto/E99_member.csv", cp932_lines({"123,山田 花子,012E4C1B3A5F6D7E"}));
    TestRecorder t(root.path(), DateTime{2026, 12, 8, 9, 5, 0});
    t.rec->start();
    MainWindow window(*t.rec);
    window.resize(1366, 768);
    window.show();
    t.clock.advance_millis(1000);
    window.tick();
    EXPECT_EQ(text_of(window, "lbl_Disp_time"), QStringLiteral("9:05:01"));
    EXPECT_EQ(text_of(window, "lbl_disp_date"), QStringLiteral("12月8日(火)"));
    EXPECT_EQ(text_of(window, "lbl_tenmei"), QStringLiteral("第一店"));

    // Hidden working columns stay hidden; the shown ones fit inside the window.
    const auto* tt = window.findChild<QLabel*>(QStringLiteral("lbl_TT(0)"));
    ASSERT_NE(tt, nullptr);
    EXPECT_FALSE(tt->isVisible());
    const auto* last_row = window.findChild<QLabel*>(QStringLiteral("lbl_Cast(25)"));
    ASSERT_NE(last_row, nullptr);
    EXPECT_TRUE(last_row->isVisible());
    EXPECT_LE(last_row->mapTo(&window, last_row->rect().bottomRight()).y(), window.height());

    auto* out = window.findChild<QPushButton*>(QStringLiteral("cmd_OUT"));
    ASSERT_NE(out, nullptr);
    out->click();
    EXPECT_EQ(t.rec->state().inout_mode, 2);
    EXPECT_TRUE(out->styleSheet().contains(QStringLiteral("#00ffff")));

    int ended = 0;
    QObject::connect(&window, &MainWindow::ended, [&ended] { ++ended; });
    window.findChild<QPushButton*>(QStringLiteral("cmd_Func"))->click();
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(t.rec->ended());
    EXPECT_EQ(text_of(window, "lbl_Disp_time"), QStringLiteral("停止中"));

    const QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.size(), QSize(1366, 768));
    shot.save(QStringLiteral("main_window_offscreen.png"));
}
