#include "transfer/UsbStore.h"

#include "core/Cp932.h"
#include "support/FakeServices.h"
#include "transfer/StickPath.h"

#include <gtest/gtest.h>

#include <chrono>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string question(const std::string& line) {
    return "メンバーリストを \n" + line + "\nと入替えて良いですが ?";
}

const std::string stick_list = cp932_lines({"99999,2016/08/01", "201,新人 太郎,AAAA000000000001"});
const std::string old_list = cp932_lines({"99999,2015/01/01", "301,古参 次郎,BBBB000000000002"});

class UsbImport : public ::testing::Test {
protected:
    void SetUp() override { write_store(root); }

    // A file on a stick below the test root, written the given number of minutes after a fixed moment.
    void put(const std::string& relative, const std::string& bytes, int minute = 0) const {
        root.write_bytes(relative, bytes);
        fs::last_write_time(root.path() / relative,
                            fs::file_time_type(std::chrono::seconds(1'700'000'000)) + std::chrono::minutes(minute));
    }
    std::string drive(const std::string& letter, const std::string& folder, const std::string& type = "") const {
        return "drive " + letter + " \"" + (root.path() / folder).string() + "\" " + type + "\n";
    }
    SimRun run(const std::string& drives, const std::string& answers) const {
        return run_sim(root.path(),
                       "time 2016-08-02 10:00:00\n" + drives + "start\n" + answers + "click Cmd_FromUSB\nshow\n");
    }

    TempRoot root;
};

TEST_F(UsbImport, RootFileAskedBeforeTheFolderBelowAndNoKeepsTheList) {
    put("stickE/E99_member.csv", stick_list, 1);
    put("stickE/sub/E99_old.csv", old_list, 9); // newer, but in a folder below
    put("stickE/readme.txt", "x");
    const SimRun r = run(drive("E", "stickE"), "answer no\nanswer no\n");
    ASSERT_EQ(r.status, 0) << r.stderr_text;
    EXPECT_EQ(message_texts(r),
              (std::vector<std::string>{question("E:\\E99_member.csv"), question("E:\\sub\\E99_old.csv")}));
    for (const auto& m : r.of("message")) {
        EXPECT_EQ(m.at("icon"), "exclamation");
        EXPECT_EQ(m.at("buttons"), "yesno");
    }
    EXPECT_EQ(root.read_bytes("zerbanto/E99_member.csv"), store_member_list);
    EXPECT_EQ(root.read_bytes("zerbanto/usb_out.txt"), "E:\\E99_member.csv\r\nE:\\sub\\E99_old.csv\r\n");
    EXPECT_TRUE(r.of("end").empty());
}

TEST_F(UsbImport, TwoSticksAskedInLetterOrderAndOtherDrivesNever) {
    put("stickF/E99_f.csv", stick_list);
    put("stickE/E99_e.csv", stick_list);
    put("disk/E99_d.csv", stick_list);
    put("cd/E99_c.csv", stick_list);
    const SimRun r =
        run(drive("F", "stickF") + drive("E", "stickE") + drive("D", "disk", "fixed") + drive("G", "cd", "cdrom"),
            "answer no\nanswer no\n");
    ASSERT_EQ(r.status, 0) << r.stderr_text;
    EXPECT_EQ(message_texts(r), (std::vector<std::string>{question("E:\\E99_e.csv"), question("F:\\E99_f.csv")}));
    EXPECT_EQ(root.read_bytes("zerbanto/E99_member.csv"), store_member_list);
}

TEST_F(UsbImport, YesToTheFirstCopiesItAndAsksNoMore) {
    put("stickE/名簿/E99_メンバー.csv", stick_list, 5);
    put("stickE/名簿/E99_other.csv", old_list, 1);
    const SimRun r = run(drive("E", "stickE"), "answer yes\n");
    ASSERT_EQ(r.status, 0) << r.stderr_text;
    EXPECT_EQ(message_texts(r), std::vector<std::string>{question("E:\\名簿\\E99_メンバー.csv")});
    EXPECT_EQ(root.read_bytes("zerbanto/E99_member.csv"), stick_list);
    EXPECT_EQ(root.read_bytes("zerbanto/usb_out.txt"),
              cp932::from_utf8("E:\\名簿\\E99_メンバー.csv\r\nE:\\名簿\\E99_other.csv\r\n"));
    for (const auto& e : fs::directory_iterator(root.zerbanto())) {
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
    }
    EXPECT_TRUE(r.of("end").empty());
}

// Both names read back "E:\E99_?.csv"; the second question stands for the second file.
TEST_F(UsbImport, TwoNamesThatReadTheSameAreEachTheirOwnFile) {
    put("stickE/E99_😀.csv", old_list, 5);
    put("stickE/E99_😁.csv", stick_list, 1);
    const SimRun r = run(drive("E", "stickE"), "answer no\nanswer yes\n");
    ASSERT_EQ(r.status, 0) << r.stderr_text;
    EXPECT_EQ(message_texts(r), (std::vector<std::string>(2, question("E:\\E99_?.csv"))));
    EXPECT_EQ(root.read_bytes("zerbanto/E99_member.csv"), stick_list);
}

TEST_F(UsbImport, NoStickGivesOneMessageAndNoListing) {
    put("disk/E99_d.csv", stick_list);
    root.write_bytes("zerbanto/usb_out.txt", "E:\\E99_stale.csv\r\n"); // from an earlier import
    const SimRun r = run(drive("D", "disk", "fixed"), "");
    ASSERT_EQ(r.status, 0) << r.stderr_text;
    ASSERT_EQ(r.of("message").size(), 1U);
    EXPECT_EQ(r.of("message")[0].at("text"), "USBメモリが見つかりません");
    EXPECT_EQ(r.of("message")[0].at("icon"), "critical");
    EXPECT_FALSE(fs::exists(root.zerbanto() / "usb_out.txt"));
}

TEST_F(UsbImport, StickWithoutListsAsksNothingAndLeavesAnEmptyListing) {
    put("stickE/other.csv", stick_list);
    const SimRun r = run(drive("E", "stickE"), "");
    ASSERT_EQ(r.status, 0) << r.stderr_text;
    EXPECT_TRUE(r.of("message").empty());
    EXPECT_TRUE(fs::exists(root.zerbanto() / "usb_out.txt"));
    EXPECT_EQ(root.read_bytes("zerbanto/usb_out.txt"), "");
}

TEST_F(UsbImport, RefusedCopyIsReportedAndEnds) {
    put("stickE/E99_member.csv", stick_list);
    TestRecorder t(root.path());
    t.drives.list = {Drive{"E", root.path() / "stickE", 1}};
    t.rec->start();
    ASSERT_FALSE(t.rec->ended());
    // The member list's place is taken by a folder holding a file: nothing can be renamed over it.
    fs::remove(root.zerbanto() / "E99_member.csv");
    root.write_bytes("zerbanto/E99_member.csv/keep", "x");
    t.ui.messages.clear();
    t.ui.answers = {MessageAnswer::Yes};
    t.rec->cmd_from_usb_click();
    ASSERT_EQ(t.ui.messages.size(), 2U);
    EXPECT_EQ(t.ui.messages[1].text, "想定外のエラーがでました。chk_usbdir_file2");
    EXPECT_EQ(t.ui.messages[1].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(t.rec->ended());
    EXPECT_TRUE(fs::is_directory(root.zerbanto() / "E99_member.csv"));
}

} // namespace

// A list on a stick is read without following a link anywhere on the stick, in a folder name or in its own.
TEST(UsbImportLinks, AFileIsOpenedOnlyThroughRealFoldersOfTheStick) {
    TempRoot root;
    root.write_bytes("outside/E99_member.csv", old_list);
    root.write_bytes("stickE/sub/E99_real.csv", stick_list);
    fs::create_directory_symlink(root.path() / "outside", root.path() / "stickE/linked");
    fs::create_symlink(root.path() / "outside/E99_member.csv", root.path() / "stickE/E99_link.csv");
    const std::vector<Drive> drives{{"E", root.path() / "stickE", 2}};
    const int real = stickpath::open_file(drives, root.path() / "stickE/sub/E99_real.csv");
    EXPECT_GE(real, 0);
    ::close(real);
    for (const char* linked : {"stickE/linked/E99_member.csv", "stickE/E99_link.csv"}) {
        const int fd = stickpath::open_file(drives, root.path() / linked);
        EXPECT_EQ(fd, -1) << linked;
        if (fd >= 0) {
            ::close(fd);
        }
    }
    EXPECT_EQ(stickpath::open_folder(root.path() / "stickE", "linked", true), -1);
}
