#include "dialogs/Keypad.h"
#include "dialogs/YesNoDialog.h"
#include "gui/ControlView.h"
#include "gui/KeyForwarder.h"
#include "gui/ModelDialog.h"
#include "gui/QtSounds.h"
#include "gui/QtUserInterface.h"
#include "lists/MemberTable.h"
#include "stamping/KeyboardReader.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>

namespace {

// The one application object of the test program. It is never destroyed: a static one would outlive the
// input devices Qt registers at the first key event, and tear them down twice at exit.
QApplication& app() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return *existing;
    }
    static int argc = 1;
    static char name[] = "timerecorder_gui_tests";
    static char* argv[] = {name, nullptr};
    auto* a = new QApplication(argc, argv);
    register_font_substitutions();
    return *a;
}

// Runs `act` on the modal dialog once it is shown, looking again every 10 ms until then.
void act_on_dialog(const std::function<void(QDialog&)>& act) {
    if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget()); d != nullptr && d->isVisible()) {
        act(*d);
    } else {
        QTimer::singleShot(10, [act] { act_on_dialog(act); });
    }
}

void when_shown(std::function<void(QDialog&)> act) {
    QTimer::singleShot(0, [act = std::move(act)] { act_on_dialog(act); });
}

QPushButton* button(QDialog& d, const char* name) {
    auto* b = d.findChild<QPushButton*>(QString::fromLatin1(name));
    EXPECT_NE(b, nullptr) << name;
    return b;
}

// Saves the dialog as a picture when a folder for screenshots is given (run under Xvfb for real fonts).
void screenshot(QDialog& d, const char* file) {
    if (const char* dir = std::getenv("TR_SCREEN_DIR")) {
        QApplication::processEvents();
        d.grab().save(QString::fromUtf8(dir) + QLatin1Char('/') + QString::fromLatin1(file));
    }
}

void press_enter(QWidget& w) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(&w, &press);
}

TEST(Dialogs, YesNoDialogIsLargeSalmonAndAnswersOnlyByItsButtons) {
    app();
    QtUserInterface ui;
    YesNoDialog model;
    model.UF2L.text = "カード違い\n\nこのまま 一時的に登録しますか?";
    when_shown([&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("いいえ"));
        EXPECT_EQ(d.palette().color(QPalette::Window), QColor(255, 128, 128));
        EXPECT_NEAR(static_cast<double>(d.width()) / d.height(), 6720.0 / 4875.0, 0.02);
        auto* yes = button(d, "cmd_Y");
        auto* no = button(d, "cmd_N");
        EXPECT_EQ(yes->text(), QStringLiteral("はい"));
        EXPECT_EQ(no->text(), QStringLiteral("いいえ"));
        EXPECT_EQ(yes->width(), yes->height());
        EXPECT_GE(yes->font().pixelSize(), 20); // large print on a 1920 × 1080 screen and smaller ones
        EXPECT_TRUE(yes->font().bold());
        EXPECT_LT(yes->x(), no->x());
        const auto* label = d.findChild<QLabel*>(QStringLiteral("UF2L"));
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(label->text().startsWith(QStringLiteral("カード違い\n")));
        screenshot(d, "UF_2.png");
        press_enter(d); // a keyboard reader's Enter
        QApplication::processEvents();
        EXPECT_TRUE(d.isVisible());
        yes->click();
    });
    ui.show_modal(model);
    EXPECT_EQ(model.uf2_ans, YesNoDialog::yes);
    EXPECT_FALSE(model.visible);

    // Closed by its close box: the answer stays as the caller set it.
    model.uf2_ans = 0;
    when_shown([](QDialog& d) { d.close(); });
    ui.show_modal(model);
    EXPECT_EQ(model.uf2_ans, 0);
}

TEST(Dialogs, KeypadRegistersATypedCodeAndItsCloseBoxCancels) {
    app();
    QtUserInterface ui;
    auto members = std::make_unique<MemberTable>();
    members->slot(0) = {"123", "山田 花子", "A1"};
    Keypad model(*members);
    model.open_for("NEWCARD");
    when_shown([&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Form1"));
        EXPECT_EQ(d.palette().color(QPalette::Window), QColor(64, 64, 64));
        EXPECT_NEAR(static_cast<double>(d.width()) / d.height(), 6150.0 / 8940.0, 0.02);
        // Calculator order: 7 above 4 above 1; 0 in the bottom row beside クリア.
        EXPECT_LT(button(d, "UF10_7")->y(), button(d, "UF10_4")->y());
        EXPECT_LT(button(d, "UF10_4")->y(), button(d, "UF10_1")->y());
        EXPECT_EQ(button(d, "UF10_0")->y(), button(d, "UF10_C")->y());
        EXPECT_EQ(button(d, "UF10_7")->text(), QStringLiteral("７"));
        EXPECT_GE(button(d, "UF10_5")->font().pixelSize(), 30);
        for (const char* key : {"UF10_1", "UF10_2", "UF10_3"}) {
            button(d, key)->click();
        }
        const auto* label = d.findChild<QLabel*>(QStringLiteral("UF10_lbl"));
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(label->text().endsWith(QStringLiteral("123")));
        screenshot(d, "UF_10key.png");
        button(d, "UF10_sell")->click();
    });
    ui.show_modal(model);
    EXPECT_EQ(model.tenkey_code, 123);
    EXPECT_EQ(model.tenkey_str, "山田 花子");
    EXPECT_EQ(members->slot(1).idm, "NEWCARD");

    model.open_for("OTHER");
    when_shown([&](QDialog& d) {
        button(d, "UF10_4")->click();
        d.close();
    });
    ui.show_modal(model);
    EXPECT_EQ(model.tenkey_code, 0);
    EXPECT_EQ(model.tenkey_str, "OTHER");
    EXPECT_TRUE(members->is_end(2));
}

TEST(Dialogs, ADialogLeftAloneClosesItselfAfterItsTimeLimitAndAPressStartsTheLimitAgain) {
    app();
    YesNoDialog model;
    ModelDialog dialog(QStringLiteral("いいえ"), YesNoDialog::design_width, YesNoDialog::design_height, colors::salmon);
    dialog.add_button(model.cmd_Y, [] {})->setObjectName(QStringLiteral("cmd_Y")); // a press that does not close
    model.visible = true;
    QTimer::singleShot(700, &dialog, [&] { button(dialog, "cmd_Y")->click(); });
    QElapsedTimer clock;
    clock.start();
    dialog.run([&] { return model.visible; }, [&] { model.close_box(); }, 1, [&] { model.time_out(); });
    EXPECT_EQ(model.uf2_ans, YesNoDialog::no);
    EXPECT_FALSE(model.visible);
    EXPECT_GE(clock.elapsed(), 1600); // one second after the press at 0.7 s
    EXPECT_LT(clock.elapsed(), 10000);
}

TEST(Dialogs, KeysReachingTheWindowFeedTheKeyboardReader) {
    app();
    KeyboardReader reader;
    QWidget window;
    window.installEventFilter(new KeyForwarder(reader, &window));
    for (const QChar ch : QStringLiteral("012e4C1B3a5f6d7e")) {
        if (ch.isUpper()) { // a reader typing an upper-case digit presses Shift first
            QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier);
            QApplication::sendEvent(&window, &shift);
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(&window, &press);
    }
    press_enter(window);
    CardReader::Buffer buffer{};
    ASSERT_EQ(reader.get_smart_card_uid(buffer), 0);
    EXPECT_STREQ(buffer.data(), "012E4C1B3A5F6D7E");
}

TEST(Dialogs, SoundFolderChoiceAndMissingFilesPlayNothing) {
    app();
    EXPECT_EQ(QtSounds::choose_folder("/given"), std::filesystem::path("/given"));
    const auto folder = QtSounds::choose_folder({});
    EXPECT_TRUE(std::filesystem::exists(folder / "chimes.wav")) << folder;
    EXPECT_TRUE(std::filesystem::exists(folder / "chord.wav")) << folder;
    QtSounds missing("/nonexistent-sound-folder");
    missing.play("chimes"); // returns without a sound and without an error
    QtSounds sounds(folder);
    sounds.play("chimes"); // returns at once, also without a sound device
    sounds.play("chord");
    // The process then ends at once: Qt's sample cache used to deadlock at exit while a sound was loading,
    // which shows here as a test that never ends.
}

} // namespace
