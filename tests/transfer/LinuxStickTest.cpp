#include "transfer/FakeSysfs.h"
#include "transfer/LinuxDrives.h"
#include "transfer/UsbStore.h"

#include "support/FakeServices.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// A stick found through mountinfo and sysfs, named by its mount point in the questions and the listing, and
// reached through that name for the copies both ways.
TEST(LinuxStick, ImportAndExportThroughTheMountPoint) {
    FakeSystem sys;
    sys.disk("sdb", "8:16", usb_port, true);
    sys.partition("sdb", "sdb1", "8:17", usb_port);
    sys.mountinfo("98 22 8:17 / /media/op/MY\\040STICK rw,nosuid shared:50 - vfat /dev/sdb1 rw\n");
    const std::string list = cp932_lines({"99999,2016/08/01", "201,新人 太郎,AAAA000000000001"});
    sys.tmp.write_bytes("media/op/MY STICK/名簿/E99_한국.csv", list); // Hangul has no place in code page 932
    write_store(sys.tmp);

    ManualClock clock(DateTime{2016, 7, 14, 23, 5, 0});
    FakeUi ui;
    FakeReader reader;
    FakeSounds sounds;
    LinuxDrives drives(sys.tmp.path());
    Options options;
    options.root = sys.tmp.path();
    Recorder rec(Services{clock, ui, reader, sounds, drives}, options);
    rec.start();
    ui.messages.clear();

    ui.answers = {MessageAnswer::Yes};
    rec.cmd_from_usb_click();
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text, "メンバーリストを \n/media/op/MY STICK/名簿/E99_??.csv\nと入替えて良いですが ?");
    EXPECT_EQ(sys.tmp.read_bytes("zerbanto/E99_member.csv"), list);

    ui.answers = {MessageAnswer::Yes};
    rec.cmd_to_usb_click();
    ASSERT_EQ(ui.messages.size(), 2U);
    EXPECT_EQ(ui.messages[1].text, "勤怠データをドライブ /media/op/MY STICK に出力して良いですか ?");
    EXPECT_TRUE(fs::exists(sys.tmp.path() / "media/op/MY STICK/Zerbanto/K04_160714_2305.CSV"));
    EXPECT_FALSE(rec.ended());
}

} // namespace
