#include "core/Cp932.h"
#include "dialogs/StoreSetup.h"
#include "gui/ControlView.h"
#include "gui/QtUserInterface.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include <cstdlib>
#include <functional>

namespace {

// The test program's one application object, made by whichever window test needs it first.
QApplication& app() {
    static int argc = 1;
    static char name[] = "timerecorder_gui_tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
        new QApplication(argc, argv); // lives as long as the test program
    }
    register_font_substitutions();
    return *qobject_cast<QApplication*>(QCoreApplication::instance());
}

// Runs act on the modal dialog once it is on the screen, looking again at every turn of the event loop.
void when_shown(const std::function<void(QWidget*)>& act) {
    QTimer::singleShot(0, [act] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog != nullptr && dialog->isVisible()) {
            act(dialog);
        } else {
            when_shown(act);
        }
    });
}

// Shows the store setup modally and works it, once it is on the screen, with act(dialog).
void show_and_act(StoreSetup& setup, std::function<void(QWidget*)> act) {
    app();
    QtUserInterface ui;
    bool acted = false;
    when_shown([&](QWidget* dialog) {
        acted = true;
        act(dialog);
    });
    setup.load();
    ui.show_modal(setup);
    EXPECT_TRUE(acted);
}

} // namespace

// The store list with 第一店 preselected; typed text is taken as it stands; "設定" writes the settings file.
TEST(StoreSetupWindow, WritesTheStoreChosenOrTyped) {
    struct Case {
        const char* typed; // nullptr: the preselected entry
        const char* code;
        const char* name;
    };
    for (const auto& c : std::initializer_list<Case>{
             {nullptr, "T01", "第一店"}, {"研修センター", "T99", "研修センター"}, {"新しい店", "", "新しい店"}}) {
        SCOPED_TRACE(c.name);
        TempRoot root;
        StoreSetup setup(root.zerbanto() / "action01.txt");
        show_and_act(setup, [&](QWidget* dialog) {
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("初期設定: 店舗を指定してください"));
            auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("UF_mise"));
            auto* button = dialog->findChild<QPushButton*>(QStringLiteral("UF_SetMise"));
            ASSERT_NE(combo, nullptr);
            ASSERT_NE(button, nullptr);
            QStringList entries;
            for (int i = 0; i < combo->count(); ++i) {
                entries << combo->itemText(i);
            }
            EXPECT_EQ(entries.join(QLatin1Char(',')), QStringLiteral("本部,第一店,第二店,第四店,第六店,第八店"));
            EXPECT_EQ(combo->currentText(), QStringLiteral("第一店"));
            EXPECT_TRUE(combo->isEditable());
            EXPECT_EQ(button->text(), QStringLiteral("設定"));
            if (const char* shots = std::getenv("TR_SCREENSHOT_DIR"); shots != nullptr && c.typed == nullptr) {
                EXPECT_TRUE(dialog->grab().save(QString::fromUtf8(shots) + QStringLiteral("/uf_initial.png")));
            }
            if (c.typed != nullptr) {
                combo->setEditText(QString::fromUtf8(c.typed));
            }
            button->click();
        });
        EXPECT_FALSE(setup.visible);
        EXPECT_EQ(root.read_bytes("zerbanto/action01.txt"),
                  cp932_lines({"会社名= Corvale", std::string("店舗CD = ") + c.code, std::string("店舗名 = ") + c.name,
                               "F転送= 12:15", "F転送= 01:30"}));
    }
}

TEST(StoreSetupWindow, TheCloseBoxWritesNothing) {
    TempRoot root;
    StoreSetup setup(root.zerbanto() / "action01.txt");
    show_and_act(setup, [](QWidget* dialog) { dialog->close(); });
    EXPECT_FALSE(setup.visible);
    EXPECT_FALSE(std::filesystem::exists(root.zerbanto() / "action01.txt"));
}
