#include "gui/DemoKeys.h"

#include "app/demo/DemoRoot.h"
#include "app/recorder/Recorder.h"
#include "gui/MainWindow.h"
#include "stamping/KeyboardReader.h"
#include "support/FakeServices.h"
#include "support/GuiApp.h"
#include "support/TempRoot.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

// The demo window as the program builds it: the sample store, a keyboard reader and the demo keys.
struct DemoWindow {
    explicit DemoWindow(const std::filesystem::path& root) : clock(DateTime{2026, 12, 8, 9, 0, 0}) {
        Options o;
        o.root = root;
        o.demo = true;
        rec = std::make_unique<Recorder>(Services{clock, ui, reader, sounds, drives}, o);
        rec->start();
        window = std::make_unique<MainWindow>(*rec);
        window->installEventFilter(new DemoKeys(reader, DemoRoot::key_cards(), window.get()));
        window->resize(1366, 768);
        window->show();
    }

    void press(Qt::Key key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &event);
    }

    // One second: the recorder polls the reader once.
    void tick_a_second() {
        for (int i = 0; i < 10; ++i) {
            clock.advance_millis(100);
            window->tick();
        }
    }

    [[nodiscard]] QString shown_name() const {
        const auto* label = window->findChild<QLabel*>(QStringLiteral("lbl_Read_Name"));
        return label != nullptr ? label->text() : QStringLiteral("<missing>");
    }

    ManualClock clock;
    FakeUi ui;
    KeyboardReader reader;
    FakeSounds sounds;
    FakeDrives drives;
    std::unique_ptr<Recorder> rec;
    std::unique_ptr<MainWindow> window;
};

} // namespace

TEST(DemoKeys, AKeyStampsItsMemberAndTheLastKeyBringsTheKeypad) {
    gui_app();
    TempRoot root;
    ASSERT_EQ(DemoRoot(root.path()).prepare(DateTime{2026, 12, 8}), "");
    DemoWindow demo(root.path());
    demo.tick_a_second();

    demo.press(Qt::Key_F3);
    EXPECT_EQ(demo.reader.pending(), 1U);
    demo.tick_a_second();
    EXPECT_EQ(demo.shown_name(), QStringLiteral("鈴木 美咲"));
    std::string log = root.read_bytes("zerbanto/KLOG_T01.csv");
    EXPECT_NE(log.find(",103,"), std::string::npos);
    EXPECT_NE(log.find(DemoRoot::key_cards()[2] + "\r\n"), std::string::npos);

    // Keys beyond the cards and other keys make no card.
    demo.press(Qt::Key_F13);
    demo.press(Qt::Key_5);
    EXPECT_EQ(demo.reader.pending(), 0U);

    // F12: a card nobody holds; the member registers it to code 112 on the keypad.
    demo.ui.on_yes_no = [](YesNoDialog& d) { d.cmd_Y_click(); };
    demo.ui.on_keypad = [](Keypad& k) {
        k.digit_click(1);
        k.digit_click(1);
        k.digit_click(2);
        k.sell_click();
    };
    demo.tick_a_second();
    demo.press(Qt::Key_F12);
    demo.tick_a_second();
    EXPECT_EQ(demo.ui.yes_no_shown, 1);
    EXPECT_EQ(demo.ui.keypad_shown, 1);
    EXPECT_EQ(demo.shown_name(), QStringLiteral("佐々木 美由紀"));
    log = root.read_bytes("zerbanto/KLOG_T01.csv");
    EXPECT_NE(log.find(",112,"), std::string::npos);
    EXPECT_NE(log.find(DemoRoot::key_cards()[11] + "\r\n"), std::string::npos);
}
