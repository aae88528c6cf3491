#include "app/Connection.h"
#include "app/Recorder.h"
#include "core/Cp932.h"

#include "support/FakeServices.h"
#include "support/FtpTestServer.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

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
    rig.rec->state().store.store_code = "T04";
    rig.rec->state().polling = false;
    rig.reader.present = true;
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
    EXPECT_TRUE(rig.rec->window().Timer1);
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
    for (const auto& c : std::initializer_list<Case>{
             {"", false, "StandAlone"}, {"StandAlone", false, "StandAlone"}, {"127.0.0.1", true, "127.0.0.1"}}) {
        const Connection connection{c.server};
        EXPECT_EQ(connection.connected(), c.connected) << c.server;
        EXPECT_EQ(connection.label_text(), c.label) << c.server;
    }
}

// The window shows the recorder's state and nothing else: the design texts until the start-up's first look,
// then the running clock in the button text colour with the mode highlighted, and after the exit button the
// stopped clock in red with the date it last showed.
TEST(RecorderWindow, TheClockAndTheModeAreShownFromTheState) {
    TempRoot root;
    root.write_bytes("zerbanto/E99_member.csv", cp932_lines({"1,A,AB"}));
    TestRecorder rig(root.path(), DateTime{2026, 12, 8, 9, 0, 0});
    EXPECT_EQ(rig.rec->window().lbl_Disp_time.text, FmMain().lbl_Disp_time.text);
    EXPECT_EQ(rig.rec->window().lbl_MiseID.text, "T99");
    rig.rec->start();
    EXPECT_EQ(rig.rec->window().lbl_Disp_time.text, "停止中");
    EXPECT_EQ(rig.rec->window().lbl_Disp_time.fore, colors::button_text);
    rig.wait_seconds(1);
    EXPECT_EQ(rig.rec->window().lbl_Disp_time.text, "9:00:01");
    EXPECT_EQ(rig.rec->window().lbl_disp_date.text, "12月8日(火)");
    clear_board_and_clock(rig.rec->state()); // as the daily reset does
    EXPECT_EQ(rig.rec->window().lbl_Disp_time.text, "停止中");
    EXPECT_EQ(rig.rec->window().lbl_disp_date.text, "");
    rig.wait_seconds(1);
    rig.rec->cmd_out_click();
    EXPECT_EQ(rig.rec->state().mode, StampMode::ShiftOut);
    EXPECT_EQ(rig.rec->window().cmd_OUT.back, colors::on_shift);
    EXPECT_EQ(rig.rec->window().cmd_IN.back, colors::idle_button);
    EXPECT_EQ(rig.rec->window().lbl_last_io.fore, colors::neutral);
    rig.rec->cmd_func_click();
    EXPECT_FALSE(rig.rec->polling());
    EXPECT_FALSE(rig.rec->window().Timer1);
    EXPECT_EQ(rig.rec->window().lbl_Disp_time.text, "停止中");
    EXPECT_EQ(rig.rec->window().lbl_Disp_time.fore, colors::red);
    EXPECT_EQ(rig.rec->window().lbl_disp_date.text, "12月8日(火)");
}
