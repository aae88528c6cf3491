#include "app/recorder/Connection.h"
#include "app/recorder/Recorder.h"
#include "core/Cp932.h"
#include "view/WindowModel.h"

#include "support/FakeServices.h"
#include "support/FtpTestServer.h"
#include "support/RecorderParts.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

#include "stamping/CombinedReader.h"
#include "stamping/KeyboardReader.h"
#include "stamping/PcscReader.h"

// While the exit button's upload runs, the window still handles events: a second press of the exit button
// and the clock's ticks (after a mode button switched the timer on) must not start a second upload or a
// card read in the middle of the first.
TEST(RecorderEvents, PressesAndTicksDuringTheExitUploadRunNothingTwice) {
    FtpTestServer::Setup silent;
    silent.mode = "silent"; // the upload waits out its time limit, letting events run all the while
    FtpTestServer server(silent);
    ASSERT_GT(server.port(), 0);
    Options options = ftp_options(server.port());
    options.ftp_connect_timeout = 1;
    options.ftp_stall_timeout = 1;
    TempRoot root;
    root.write_bytes("zerbanto/KLOG_T04.csv", "T04,2016/12/7 9:00,101,山田,1,9:00,18:00,012E\r\n");
    TestRecorder rig(root.path(), *DateTime::make(2016, 12, 8, 22, 0, 0), options);
    use_store(*rig.rec, "T04");
    rig.reader.present = true;
    rig.reader.arrived = true; // a card that came just now is not taken during the upload either
    rig.reader.idm = "012E4C1B3A5F6D7E";
    int presses = 0;
    rig.ui.on_process_events = [&] {
        if (presses++ < 3) {
            rig.clock.advance_millis(60'000); // a second upload would make a copy of another name
            rig.rec->cmd_out_click();         // switches the timer on
            rig.rec->timer_tick();
            rig.rec->cmd_func_click();
            rig.rec->cmd_from_usb_click();
            rig.rec->cmd_to_usb_click();
        }
    };
    rig.rec->cmd_func_click();

    EXPECT_TRUE(rig.rec->ended());
    EXPECT_GT(presses, 0) << "the upload let no events run";
    EXPECT_EQ(rig.reader.polls, 0) << "a tick read the reader during the upload";
    EXPECT_EQ(rig.drives.listed, 0) << "a USB button started a transfer during the upload";
    std::vector<std::string> copies;
    for (const auto& entry : std::filesystem::directory_iterator(root.path() / "cortmp")) {
        copies.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(copies, std::vector<std::string>{"K04_161208_2200.CSV"});
}

// While a USB import or export walks the drives, window events run: a press of either USB button or of the
// exit button must wait for the end of the transfer under way, and works again once it has ended.
TEST(RecorderEvents, ATransferButtonPressedDuringAUsbTransferDoesNothing) {
    using Press = void (Recorder::*)();
    struct Case {
        const char* name;
        Press first;
        Press second;
    };
    for (const auto& c :
         std::initializer_list<Case>{{"from, from", &Recorder::cmd_from_usb_click, &Recorder::cmd_from_usb_click},
                                     {"from, to", &Recorder::cmd_from_usb_click, &Recorder::cmd_to_usb_click},
                                     {"from, exit", &Recorder::cmd_from_usb_click, &Recorder::cmd_func_click},
                                     {"to, to", &Recorder::cmd_to_usb_click, &Recorder::cmd_to_usb_click},
                                     {"to, from", &Recorder::cmd_to_usb_click, &Recorder::cmd_from_usb_click},
                                     {"to, exit", &Recorder::cmd_to_usb_click, &Recorder::cmd_func_click}}) {
        TempRoot root;
        TestRecorder rig(root.path());
        bool inside = false;
        bool nested = false;
        rig.drives.on_list = [&] {
            nested = nested || inside;
            if (!inside) {
                inside = true;
                (*rig.rec.*c.second)();
                inside = false;
            }
        };
        (*rig.rec.*c.first)();
        EXPECT_FALSE(nested) << c.name << ": a second transfer ran inside the first";
        EXPECT_FALSE(rig.rec->ended()) << c.name << ": the exit ran inside the transfer";
        const int listed = rig.drives.listed;
        rig.drives.on_list = nullptr;
        (*rig.rec.*c.second)();
        EXPECT_TRUE(rig.drives.listed > listed || rig.rec->ended()) << c.name << ": the button stayed blocked";
    }
}

// A start-up step that fails is skipped, as the shop knows it, and what was skipped is written to standard
// error for service staff: the log's place taken by a folder fails the day restore and the log step.
TEST(RecorderEvents, AFailedStartUpStepIsSkippedAndWrittenToStandardError) {
    TempRoot root;
    root.write_bytes("zerbanto/E99_member.csv", cp932_lines({"1,A,AB"}));
    std::filesystem::create_directories(root.zerbanto() / "KLOG_T99.csv");
    TestRecorder rig(root.path());
    testing::internal::CaptureStderr();
    rig.rec->start();
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(rig.rec->ended());
    EXPECT_TRUE(rig.rec->polling());
    EXPECT_TRUE(rig.ui.messages.empty());
    EXPECT_NE(written.find("\"day restore\" skipped"), std::string::npos) << written;
    EXPECT_NE(written.find("\"log\" skipped"), std::string::npos) << written;
}

// Only a server named on the command line connects; lbl_type shows "StandAlone" otherwise.
TEST(RecorderConnection, OnlyANamedServerConnects) {
    struct Case {
        const char* server;
        bool connected;
        const char* label;
    };
    for (const auto& c : std::initializer_list<Case>{{"", false, "StandAlone"}, {"127.0.0.1", true, "127.0.0.1"}}) {
        const Connection connection{*c.server == '\0' ? std::nullopt : parse_server_setting(c.server, 21)};
        EXPECT_EQ(connection.connected(), c.connected) << c.server;
        EXPECT_EQ(connection.label_text(), c.label) << c.server;
    }
}

namespace {

const std::string member_card = "012E4C1B3A5F6D7E";

void write_member(const TempRoot& root) {
    root.write_bytes("zerbanto/E99_member.csv", cp932_lines({"101,山田 花子," + member_card}));
}

int stamps_of(const TempRoot& root, const std::string& idm) {
    const std::string log = root.read_bytes("zerbanto/KLOG_T99.csv");
    int n = 0;
    for (auto at = log.find(idm + "\r\n"); at != std::string::npos; at = log.find(idm + "\r\n", at + 1)) {
        ++n;
    }
    return n;
}

} // namespace

// A card that comes between two seconds is taken at the next tick: stamped, chimed and shown with the clock
// as it stands, before the second changes.
TEST(RecorderCards, ACardArrivingBetweenTwoSecondsIsStampedBeforeTheNextSecond) {
    TempRoot root;
    write_member(root);
    TestRecorder rig(root.path());
    rig.rec->start();
    rig.wait_seconds(1); // 9:00:01.0 shown
    rig.clock.advance_millis(300);
    rig.reader.idm = member_card;
    rig.reader.arrived = true;
    rig.clock.advance_millis(100);
    rig.rec->timer_tick(); // 9:00:01.4
    EXPECT_EQ(rig.sounds.played, std::vector<std::string>{"chimes"});
    EXPECT_EQ(window_of(*rig.rec).lbl_Read_Name.text, "山田 花子");
    EXPECT_EQ(window_of(*rig.rec).lbl_last_time.text, "9:00:01");
    EXPECT_EQ(window_of(*rig.rec).lbl_Disp_time.text, "9:00:01");
    EXPECT_EQ(stamps_of(root, member_card), 1);
    // The clock jobs still wait for the change of the second, and the name stays its second.
    rig.clock.advance_millis(500);
    rig.rec->timer_tick(); // 9:00:01.9
    EXPECT_EQ(window_of(*rig.rec).lbl_Read_Name.text, "山田 花子");
    rig.wait_seconds(2);
    EXPECT_EQ(window_of(*rig.rec).lbl_Read_Name.text, "");
    EXPECT_EQ(rig.sounds.played.size(), 1U);
}

// A touch made while a question, the keypad, a USB transfer or the exit upload is under way is answered by no
// chime, and it is not stamped once they are over either (the exit's case is in the upload test above).
TEST(RecorderCards, NoCardIsTakenDuringAQuestionTheKeypadOrAUsbTransfer) {
    enum class During { Question, Keypad, Transfer };
    for (const During during : {During::Question, During::Keypad, During::Transfer}) {
        SCOPED_TRACE(static_cast<int>(during));
        TempRoot root;
        write_member(root);
        TestRecorder rig(root.path());
        rig.rec->start();
        rig.wait_seconds(1);
        auto touch = [&] {
            rig.reader.idm = member_card;
            rig.reader.arrived = true;
            for (int i = 0; i < 3; ++i) {
                rig.clock.advance_millis(100);
                rig.rec->timer_tick();
            }
        };
        rig.ui.on_yes_no = [&](YesNoDialog& d) {
            if (during == During::Question) {
                touch();
                d.cmd_N_click();
            } else {
                d.cmd_Y_click();
            }
        };
        rig.ui.on_keypad = [&](Keypad& k) {
            touch();
            k.close_box();
        };
        rig.drives.on_list = touch;
        if (during == During::Transfer) {
            rig.rec->cmd_from_usb_click();
        } else {
            rig.reader.idm = "0BAD0BAD0BAD0BAD"; // unknown: the question, then the keypad
            rig.reader.arrived = true;
            rig.wait_seconds(1);
        }
        rig.wait_seconds(3);
        EXPECT_EQ(stamps_of(root, member_card), 0);
        EXPECT_EQ(std::count(rig.sounds.played.begin(), rig.sounds.played.end(), "chimes"), 0);
        EXPECT_FALSE(rig.rec->ended());
    }
}

// A PC/SC service that takes the connection and never answers: the clock goes on and a card of the keyboard
// reader is stamped (--reader auto), and the end of the program is not held up by the reader's thread.
TEST(RecorderCards, AHungCardServiceStopsNeitherTheClockNorTheKeyboardReader) {
    TempRoot root;
    write_member(root);
    const std::string socket_path = (root.path() / "hung.comm").string();
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    socket_path.copy(addr.sun_path, sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(listener, 8), 0); // connections wait in the backlog; nothing is ever read or sent
    ::setenv("PCSCLITE_CSOCK_NAME", socket_path.c_str(), 1);
    {
        ManualClock clock(DateTime{2026, 12, 8, 9, 0, 0});
        FakeUi ui;
        FakeSounds sounds;
        FakeDrives drives;
        KeyboardReader keyboard;
        auto pcsc = std::make_unique<PcscReader>();
        CombinedReader reader(keyboard, *pcsc);
        Options options;
        options.root = root.path();
        Recorder rec(Services{clock, ui, reader, sounds, drives}, options);
        rec.start();
        std::chrono::steady_clock::duration longest{};
        auto tick = [&] {
            clock.advance_millis(100);
            const auto t0 = std::chrono::steady_clock::now();
            rec.timer_tick();
            longest = std::max(longest, std::chrono::steady_clock::now() - t0);
        };
        for (int i = 0; i < 25; ++i) {
            tick();
        }
        EXPECT_EQ(window_of(rec).lbl_Disp_time.text, "9:00:02");
        KeyboardReader::Millis at{1'000'000};
        for (const char ch : member_card + "\r") {
            keyboard.key(static_cast<unsigned char>(ch), at += KeyboardReader::Millis{5});
        }
        tick();
        EXPECT_EQ(sounds.played, std::vector<std::string>{"chimes"});
        EXPECT_EQ(stamps_of(root, member_card), 1);
        for (int i = 0; i < 10; ++i) {
            tick();
        }
        EXPECT_EQ(window_of(rec).lbl_Disp_time.text, "9:00:03");
        EXPECT_LT(longest, std::chrono::milliseconds(500)) << "a tick waited for the card service";
        EXPECT_FALSE(rec.ended());
        const auto t0 = std::chrono::steady_clock::now();
        pcsc.reset();
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5)) << "the end waited for the service";
    }
    ::close(listener);
}

// The window shows the recorder's state and nothing else: the design texts until the start-up's first look,
// then the running clock in the button text colour with the mode highlighted, and after the exit button the
// stopped clock in red with the date it last showed.
TEST(RecorderWindow, TheClockAndTheModeAreShownFromTheState) {
    TempRoot root;
    root.write_bytes("zerbanto/E99_member.csv", cp932_lines({"1,A,AB"}));
    TestRecorder rig(root.path(), DateTime{2026, 12, 8, 9, 0, 0});
    EXPECT_EQ(window_of(*rig.rec).lbl_Disp_time.text, FmMain().lbl_Disp_time.text);
    EXPECT_EQ(window_of(*rig.rec).lbl_MiseID.text, "T99");
    rig.rec->start();
    EXPECT_EQ(window_of(*rig.rec).lbl_Disp_time.text, "停止中");
    EXPECT_EQ(window_of(*rig.rec).lbl_Disp_time.fore, colors::button_text);
    rig.wait_seconds(1);
    EXPECT_EQ(window_of(*rig.rec).lbl_Disp_time.text, "9:00:01");
    EXPECT_EQ(window_of(*rig.rec).lbl_disp_date.text, "12月8日(火)");
    RecorderParts::card(*rig.rec).clear_day(); // as the daily reset does
    EXPECT_EQ(window_of(*rig.rec).lbl_Disp_time.text, "停止中");
    EXPECT_EQ(window_of(*rig.rec).lbl_disp_date.text, "");
    rig.wait_seconds(1);
    rig.rec->cmd_out_click();
    EXPECT_EQ(rig.rec->panel().mode(), StampMode::ShiftOut);
    EXPECT_EQ(window_of(*rig.rec).cmd_OUT.back, colors::on_shift);
    EXPECT_EQ(window_of(*rig.rec).cmd_IN.back, colors::idle_button);
    EXPECT_EQ(window_of(*rig.rec).lbl_last_io.fore, colors::neutral);
    rig.rec->cmd_func_click();
    EXPECT_FALSE(rig.rec->polling());
    EXPECT_FALSE(window_of(*rig.rec).Timer1);
    EXPECT_EQ(window_of(*rig.rec).lbl_Disp_time.text, "停止中");
    EXPECT_EQ(window_of(*rig.rec).lbl_Disp_time.fore, colors::red);
    EXPECT_EQ(window_of(*rig.rec).lbl_disp_date.text, "12月8日(火)");
}
