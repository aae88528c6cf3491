#include "gui/MainWindow.h"

#include "app/recorder/Recorder.h"
#include "app/start/Options.h"
#include "gui/KeyForwarder.h"
#include "gui/QtUserInterface.h"
#include "stamping/KeyboardReader.h"
#include "support/FakeServices.h"
#include "support/GuiApp.h"
#include "support/SecureServers.h"
#include "support/TempRoot.h"
#include "transfer/DriveType.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFontInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

QString text_of(const QWidget& w, const char* name) {
    const auto* l = w.findChild<QLabel*>(QString::fromLatin1(name));
    return l != nullptr ? l->text() : QStringLiteral("<missing>");
}

// Runs act on the next question once it is on the screen, looking again at every turn of the event loop.
void on_next_question(std::function<void(QWidget&)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        QWidget* q = QApplication::activeModalWidget();
        if (q != nullptr && q->isVisible()) {
            act(*q);
        } else {
            on_next_question(act);
        }
    });
}

// Keys typed at a window as the system hands them to it, through its shortcuts and then its focus.
void type_at(QWindow* window, const char* text) {
    for (const char* c = text; *c != '\0'; ++c) {
        QTest::keyClick(window, *c);
    }
}

// The keyboard reader's card typed at the question's window as the reader types it: the IDm, then Enter,
// and a Space and an Escape besides.
void type_card_at(QWidget& question, const char* idm) {
    QWindow* window = question.windowHandle();
    type_at(window, idm);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape}) {
        QTest::keyClick(window, key);
    }
    QApplication::processEvents();
}

// A store whose server.conf names the server: the window fetches the member list and the plan at its start
// and, at "終了", uploads the log and empties the outbox. The window's events run while each transfer runs,
// as they do in the program; a message box would be recorded, not wait for a click.
template <class Server>
void round_trip_through_the_window(const Server& server, const std::string& setting, const std::string& conf) {
    SCOPED_TRACE(setting);
    server.put("E99_member.csv", cp932_lines({"99999,2026/12/01", "123,山田 花子,012E4C1B3A5F6D7E"}));
    server.put("S01_SHIFT.csv", cp932_lines({"99999,12月8日(火)の予定", "261208,佐藤 一郎,x,12:30,21:00"}));
    TempRoot root;
    root.write_bytes("zerbanto/action01.txt", cp932_lines({"会社名= Corvale", "店舗CD = T01", "店舗名 = 第一店"}));
    const std::string log = cp932_lines({"T01,2026/12/8 9:01,123,山田 花子,1,,,012E4C1B3A5F6D7E"});
    root.write_bytes("zerbanto/KLOG_T01.csv", log);
    root.write_bytes("zerbanto/server.conf", "server = " + setting + "\n" + conf);
    std::filesystem::permissions(root.zerbanto() / "server.conf",
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const OptionsResult parsed = parse_options({"--root", root.path().string()}, Program::Window);
    ASSERT_EQ(parsed.refusal, "");
    TestRecorder t(root.path(), DateTime{2026, 12, 8, 9, 5, 0}, parsed.options);
    t.ui.on_process_events = [] { QCoreApplication::processEvents(); };
    t.rec->start();
    MainWindow window(*t.rec);
    window.resize(1366, 768);
    window.show();

    EXPECT_EQ(text_of(window, "lbl_type").toStdString(), setting);
    EXPECT_EQ(text_of(window, "lbl_member_date").toStdString(), "2026/12/01");
    EXPECT_EQ(text_of(window, "lbl_shift").toStdString(), "12月8日(火)の予定");
    EXPECT_EQ(text_of(window, "lbl_Cast(0)").toStdString(), "佐藤 一郎");
    EXPECT_EQ(text_of(window, "lbl_Cast(1)").toStdString(), "山田 花子"); // the morning's stamp, replayed
    window.findChild<QPushButton*>(QStringLiteral("cmd_Func"))->click();
    EXPECT_TRUE(t.rec->ended());
    EXPECT_EQ(file_bytes(server.sub() / "K01_261208_0905.CSV"), log);
    EXPECT_TRUE(std::filesystem::is_empty(root.path() / "cortmp"));
    for (const auto& m : t.ui.messages) {
        ADD_FAILURE() << m.text << "\n" << root.read_bytes("zerbanto/ftplog.txt");
    }
}

QPushButton* button_captioned(QWidget& question, const QString& caption) {
    for (auto* b : question.findChildren<QPushButton*>()) {
        if (b->text() == caption) {
            return b;
        }
    }
    return nullptr;
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
    // The window's font stands in with a face that has real bold weights, so the clock is bold at every size.
    const auto* clock = window.findChild<QLabel*>(QStringLiteral("lbl_Disp_time"));
    ASSERT_NE(clock, nullptr);
    EXPECT_EQ(QFontInfo(clock->font()).family(), QStringLiteral("Noto Sans CJK JP"));
    EXPECT_TRUE(QFontInfo(clock->font()).bold());

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
    EXPECT_EQ(t.rec->panel().mode(), StampMode::ShiftOut);
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

// A keyboard reader types a member's card into whatever window has the focus. While a question is open,
// neither its Enter, a Space nor an Escape answers it, and its IDm is no one's input: the member list and
// the log stay as they were, the question stays open, and the reader has no card afterwards.
TEST(MainWindow, ACardTypedWhileAQuestionIsOpenAnswersNothingAndIsDropped) {
    gui_app();
    TempRoot root;
    const char* member_idm = "012E4C1B3A5F6D7E";
    root.write_bytes("zerbanto/action01.txt", cp932_lines({"会社名= Corvale", "店舗CD = T01", "店舗名 = 第一店"}));
    root.write_bytes("zerbanto/E99_member.csv", cp932_lines({"99999,2026/12/01", "123,山田 花子,012E4C1B3A5F6D7E"}));
    root.write_bytes("stick/E99_new.csv", cp932_lines({"99999,2026/12/08", "456,別の人,0000000000000001"}));
    ManualClock clock(DateTime{2026, 12, 8, 9, 5, 0});
    QtUserInterface ui;
    KeyboardReader reader;
    FakeSounds sounds;
    FakeDrives drives;
    Options options;
    options.root = root.path();
    Recorder rec(Services{clock, ui, reader, sounds, drives}, options);
    rec.start();
    MainWindow window(rec);
    window.installEventFilter(new KeyForwarder(reader, &window));
    ui.set_parent(&window);
    window.resize(1366, 768);
    window.show();
    const std::string members_before = root.read_bytes("zerbanto/E99_member.csv");
    const std::string log_before = root.read_bytes("zerbanto/KLOG_T01.csv");

    struct Question {
        const char* what;
        const char* answer; // the button clicked at last
        std::function<void()> open;
    };
    const auto click = [&window](const char* name) {
        window.findChild<QPushButton*>(QString::fromLatin1(name))->click();
    };
    const auto stick = [&](bool present) {
        drives.list.clear();
        if (present) {
            drives.list.push_back(Drive{"/media/stick", root.path() / "stick", drivetype::removable});
        }
    };
    const std::vector<Question> questions{{"no stick: a message", "OK",
                                           [&] {
                                               stick(false);
                                               click("Cmd_FromUSB");
                                           }},
                                          {"import: replace the member list?", "いいえ",
                                           [&] {
                                               stick(true);
                                               click("Cmd_FromUSB");
                                           }},
                                          {"export: write to the stick?", "いいえ",
                                           [&] {
                                               stick(true);
                                               click("Cmd_ToUSB");
                                           }},
                                          {"unknown card: register it? (UF_2)", "いいえ", [&] {
                                               type_at(window.windowHandle(), "0000000000000ABC");
                                               QTest::keyClick(window.windowHandle(), Qt::Key_Return);
                                               clock.advance_millis(1000);
                                               window.tick();
                                           }}};
    for (const Question& q : questions) {
        SCOPED_TRACE(q.what);
        bool still_open = false;
        on_next_question([&](QWidget& question) {
            type_card_at(question, member_idm);
            still_open = question.isVisible() && QApplication::activeModalWidget() == &question;
            EXPECT_EQ(root.read_bytes("zerbanto/E99_member.csv"), members_before);
            EXPECT_EQ(root.read_bytes("zerbanto/KLOG_T01.csv"), log_before);
            for (const auto* b : question.findChildren<QPushButton*>()) { // no default, sized for a finger
                EXPECT_FALSE(b->isDefault()) << b->text().toStdString();
                EXPECT_GE(std::min(b->width(), b->height()), 60) << b->text().toStdString();
            }
            QPushButton* answer = button_captioned(question, QString::fromUtf8(q.answer));
            ASSERT_NE(answer, nullptr);
            answer->click();
        });
        q.open();
        EXPECT_TRUE(still_open);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_EQ(rec.lists().members().slot(0).idm, member_idm);
        EXPECT_TRUE(rec.lists().members().is_end(1));
        CardReader::Buffer buffer{};
        EXPECT_NE(reader.get_smart_card_uid(buffer), 0) << buffer.data();
    }
    EXPECT_EQ(root.read_bytes("zerbanto/E99_member.csv"), members_before);
    EXPECT_EQ(root.read_bytes("zerbanto/KLOG_T01.csv"), log_before);

    // With no question open, the card typed at the window is stamped at the next tick, before the next second.
    clock.advance_millis(1000);
    window.tick();
    const QString second = text_of(window, "lbl_Disp_time");
    type_at(window.windowHandle(), member_idm);
    QTest::keyClick(window.windowHandle(), Qt::Key_Return);
    clock.advance_millis(100);
    window.tick();
    EXPECT_EQ(text_of(window, "lbl_Disp_time"), second);
    EXPECT_EQ(text_of(window, "lbl_Read_Name").toStdString(), "山田 花子");
    EXPECT_NE(root.read_bytes("zerbanto/KLOG_T01.csv").find(member_idm), std::string::npos);
}

TEST(MainWindow, AStoreOnAnEncryptedLinkFetchesItsListsAtTheStartAndUploadsItsLogAtTheExit) {
    if (const auto why = secure_servers_missing(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    gui_app();
    const FtpsTestServer ftps;
    ASSERT_GT(ftps.port(), 0);
    round_trip_through_the_window(ftps, "ftps://localhost:" + std::to_string(ftps.port()),
                                  "user = " + ftps.account().name() + "\npassword = " + ftps.account().password() +
                                      "\nca_file = " + ftps.ca_file().string() + "\n");
    const SftpTestServer sftp;
    ASSERT_GT(sftp.port(), 0);
    round_trip_through_the_window(sftp, "sftp://127.0.0.1:" + std::to_string(sftp.port()),
                                  "user = " + sftp.account().name() + "\nprivate_key = " + sftp.user_key().string() +
                                      "\nknown_hosts = " + sftp.known_hosts().string() + "\n");
}
