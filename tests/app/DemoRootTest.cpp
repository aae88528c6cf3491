#include "app/demo/DemoRoot.h"

#include "app/demo/SampleStore.h"
#include "core/Cp932.h"
#include "support/FakeServices.h"
#include "support/TempRoot.h"
#include "transfer/DriveType.h"
#include "transfer/FolderDrive.h"
#include "view/WindowModel.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

const DateTime today{2026, 12, 8, 9, 0, 0};

Options demo_options() {
    Options o;
    o.demo = true;
    return o;
}

// Every line of the file ends in CR LF and no LF stands alone.
bool cr_lf_only(const std::string& bytes) {
    if (bytes.size() < 2 || bytes.substr(bytes.size() - 2) != "\r\n") {
        return false;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST(DemoRoot, FillsASampleStoreThatTheRecorderLoadsWithTodaysPlan) {
    TempRoot root;
    root.write_bytes("demo/zerbanto/.timerecorder.lock", ""); // the running copy's lock comes first
    const DemoRoot demo(root.path() / "demo");
    ASSERT_EQ(demo.prepare(today), "");

    const std::vector<std::pair<const char*, const char*>> files{
        {"zerbanto/action01.txt", "店舗名 = 第一店\r\n"},
        {"zerbanto/E99_member.csv", "101,山田 花子,012E4C1B3A5F1000\r\n"},
        {"zerbanto/S01_SHIFT.csv", "261208,山田 花子,101,9:00,17:00\r\n"},
        {"usb-stick/E99_member.csv", "112,佐々木 美由紀,012E4C1B3A5F1011\r\n"}};
    for (const auto& [file, line] : files) {
        const std::string bytes = root.read_bytes(fs::path("demo") / file);
        EXPECT_TRUE(cr_lf_only(bytes)) << file;
        EXPECT_NE(bytes.find(cp932::from_utf8(line)), std::string::npos) << file << " in code page 932";
    }

    TestRecorder t(root.path() / "demo", today, demo_options());
    t.rec->start();
    ASSERT_TRUE(t.ui.messages.empty()) << t.ui.messages.front().text;
    EXPECT_EQ(window_of(*t.rec).lbl_MiseID.text, "T01");
    EXPECT_EQ(t.rec->lists().members().end_index(), static_cast<int>(DemoRoot::member_count));
    EXPECT_EQ(t.rec->lists().members().slot(11).name, sample::members()[11].name);
    EXPECT_EQ(window_of(*t.rec).lbl_shift.text, "12月8日のシフト");
    EXPECT_EQ(window_of(*t.rec).board[0].Cast.text, "山田 花子");
    EXPECT_EQ(window_of(*t.rec).board[0].ST.text, "9:00");
    EXPECT_EQ(window_of(*t.rec).board[5].KT.text, "22:00");
    EXPECT_EQ(window_of(*t.rec).board[6].Cast.text, "");

    // The keys' member cards are in the list; the last key's card is in nobody's hands.
    const auto cards = DemoRoot::key_cards();
    ASSERT_EQ(cards.size(), 12U);
    for (std::size_t i = 0; i + 1 < cards.size(); ++i) {
        EXPECT_EQ(t.rec->lists().members().find_idm(cards[i]), static_cast<int>(i));
    }
    EXPECT_FALSE(t.rec->lists().members().find_idm(cards.back()).has_value());
}

TEST(DemoRoot, RefillsOnlyWhenAFileIsMissingOrTheDayChanged) {
    TempRoot root;
    const DemoRoot demo(root.path());
    ASSERT_EQ(demo.prepare(today), "");
    root.write_bytes("zerbanto/E99_member.csv", cp932_lines({"201,USBから取り込んだ人,0A0B0C0D"}));
    root.write_bytes("zerbanto/KLOG_T01.csv", cp932_lines({"T01,2026/12/8 9:00,101,山田 花子,1,9:00,17:00,X"}));

    // The same day: what the person did stays.
    EXPECT_FALSE(demo.outdated(today.plus_millis(3600LL * 1000)));
    ASSERT_EQ(demo.prepare(today.plus_millis(3600LL * 1000)), "");
    EXPECT_NE(root.read_bytes("zerbanto/E99_member.csv").find("201,"), std::string::npos);

    // A missing file brings back the samples.
    fs::remove(root.zerbanto() / "S01_SHIFT.csv");
    ASSERT_EQ(demo.prepare(today), "");
    EXPECT_NE(root.read_bytes("zerbanto/S01_SHIFT.csv").find("261208,"), std::string::npos);
    EXPECT_NE(root.read_bytes("zerbanto/E99_member.csv").find("101,"), std::string::npos);

    // The next day: a plan for that day; the attendance log is kept.
    const DateTime tomorrow = today.plus_millis(24LL * 3600 * 1000);
    EXPECT_TRUE(demo.outdated(tomorrow));
    ASSERT_EQ(demo.prepare(tomorrow), "");
    EXPECT_NE(root.read_bytes("zerbanto/S01_SHIFT.csv").find("261209,"), std::string::npos);
    EXPECT_EQ(root.read_bytes("zerbanto/S01_SHIFT.csv").find("261208,"), std::string::npos);
    EXPECT_FALSE(root.read_bytes("zerbanto/KLOG_T01.csv").empty());
}

TEST(DemoRoot, NeverOverwritesAStoresOwnFolder) {
    TempRoot root;
    const std::string members = cp932_lines({"99999,本部", "7,本物の店員,0102030405060708"});
    root.write_bytes("zerbanto/E99_member.csv", members);
    const std::string failed = DemoRoot(root.path()).prepare(today);
    EXPECT_NE(failed.find("デモには使えません"), std::string::npos);
    EXPECT_EQ(root.read_bytes("zerbanto/E99_member.csv"), members);
    EXPECT_FALSE(fs::exists(root.zerbanto() / "action01.txt"));
    EXPECT_FALSE(fs::exists(root.path() / DemoRoot::mark_file));
}

TEST(DemoRoot, TheUsbStickFolderTakesTheLogExport) {
    TempRoot root;
    const DemoRoot demo(root.path());
    ASSERT_EQ(demo.prepare(today), "");
    TestRecorder t(root.path(), today, demo_options());
    const FolderDrive stick(demo.usb_stick());
    t.drives.list = stick.drives();
    ASSERT_EQ(t.drives.list.size(), 1U);
    EXPECT_TRUE(is_usb_stick(t.drives.list[0]));
    t.rec->start();
    t.reader.idm = DemoRoot::key_cards()[0];
    t.reader.present = true;
    t.wait_seconds(2);
    t.reader.present = false;
    t.ui.answers.push_back(MessageAnswer::Yes);
    t.rec->cmd_to_usb_click();
    const fs::path copy = demo.usb_stick() / "Zerbanto" / "K01_261208_0900.CSV";
    ASSERT_TRUE(fs::exists(copy));
    EXPECT_EQ(root.read_bytes(fs::relative(copy, root.path())), root.read_bytes("zerbanto/KLOG_T01.csv"));
    EXPECT_NE(root.read_bytes("zerbanto/KLOG_T01.csv").find(DemoRoot::key_cards()[0]), std::string::npos);
}

TEST(DemoRoot, StandAloneWithoutTheDemoLeavesThePlanOnDiskAlone) {
    TempRoot root;
    ASSERT_EQ(DemoRoot(root.path()).prepare(today), "");
    TestRecorder t(root.path(), today);
    t.rec->start();
    EXPECT_EQ(t.rec->lists().members().end_index(), static_cast<int>(DemoRoot::member_count));
    EXPECT_EQ(window_of(*t.rec).board[0].Cast.text, "");
    EXPECT_NE(window_of(*t.rec).lbl_shift.text, "12月8日のシフト");
}
