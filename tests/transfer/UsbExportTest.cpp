#include "transfer/UsbExport.h"
#include "transfer/UsbStore.h"

#include "core/DateTime.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::string question(const std::string& drive) {
    return "勤怠データをドライブ " + drive + " に出力して良いですか ?";
}

const std::string log_bytes = cp932_lines({"T04,2016/7/14 9:00,101,山田 花子,1,9:00,18:00,0123456789ABCDEF",
                                           "T04,2016/7/14 18:02,101,山田 花子,2,9:00,18:00,0123456789ABCDEF"});

std::vector<std::string> names_in(const fs::path& folder) {
    std::vector<std::string> out;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        out.push_back(it->path().filename().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

class UsbExport : public ::testing::Test {
protected:
    void SetUp() override {
        write_store(root);
        root.write_bytes("zerbanto/KLOG_T04.csv", log_bytes);
    }
    std::string drive(const std::string& letter, const std::string& folder, const std::string& type = "") const {
        return "drive " + letter + " \"" + (root.path() / folder).string() + "\" " + type + "\n";
    }
    SimRun run(const std::string& drives, const std::string& script) const {
        return run_sim(root.path(), "time 2016-07-14 23:05:10\n" + drives + "start\n" + script + "show\n");
    }
    TempRoot root;
};

TEST_F(UsbExport, StickWithoutFolderGetsTheFolderAndOneCopy) {
    const SimRun r = run(drive("E", "stickE"), "answer yes\nclick Cmd_ToUSB\n");
    ASSERT_EQ(r.status, 0) << r.stderr_text;
    ASSERT_EQ(message_texts(r), std::vector<std::string>{question("E")});
    EXPECT_EQ(r.of("message")[0].at("icon"), "exclamation");
    EXPECT_EQ(r.of("message")[0].at("buttons"), "yesno");
    EXPECT_EQ(names_in(root.path() / "stickE"), std::vector<std::string>{"Zerbanto"});
    EXPECT_EQ(names_in(root.path() / "stickE/Zerbanto"), std::vector<std::string>{"K04_160714_2305.CSV"});
    EXPECT_EQ(root.read_bytes("stickE/Zerbanto/K04_160714_2305.CSV"), log_bytes);
    EXPECT_EQ(root.read_bytes("zerbanto/KLOG_T04.csv"), log_bytes);
    EXPECT_EQ(r.last_state().at("Timer1"), true);
    EXPECT_EQ(r.last_state().at("inout_mode"), 1);
    EXPECT_TRUE(r.of("end").empty());
}

TEST_F(UsbExport, ExistingFolderIsUsedWhateverItsCase) {
    fs::create_directories(root.path() / "stickE/ZERBANTO");
    const SimRun r = run(drive("E", "stickE"), "answer yes\nclick Cmd_ToUSB\n");
    ASSERT_EQ(r.status, 0) << r.stderr_text;
    EXPECT_EQ(names_in(root.path() / "stickE"), std::vector<std::string>{"ZERBANTO"});
    EXPECT_EQ(root.read_bytes("stickE/ZERBANTO/K04_160714_2305.CSV"), log_bytes);
}

TEST_F(UsbExport, SecondExportInTheSameMinuteOverwritesTheFirst) {
    const SimRun r = run(drive("E", "stickE"), "answer yes\nclick Cmd_ToUSB\nwait 40s\n"
                                               "answer yes\nclick Cmd_ToUSB\nwait 30s\n"
                                               "answer yes\nclick Cmd_ToUSB\n");
    ASSERT_EQ(r.status, 0) << r.stderr_text;
    EXPECT_EQ(r.of("message").size(), 3U);
    EXPECT_TRUE(r.of("end").empty());
    EXPECT_EQ(names_in(root.path() / "stickE/Zerbanto"),
              (std::vector<std::string>{"K04_160714_2305.CSV", "K04_160714_2306.CSV"}));
    EXPECT_EQ(root.read_bytes("stickE/Zerbanto/K04_160714_2305.CSV"), log_bytes);
}

TEST_F(UsbExport, TwoSticksYesToTheFirstFromShiftOutEndsInShiftIn) {
    const SimRun r = run(drive("F", "stickF") + drive("E", "stickE") + drive("C", "disk", "fixed"),
                         "click cmd_OUT\nanswer yes\nanswer no\nclick Cmd_ToUSB\n");
    ASSERT_EQ(r.status, 0) << r.stderr_text;
    EXPECT_EQ(message_texts(r), (std::vector<std::string>{question("E"), question("F")}));
    EXPECT_EQ(root.read_bytes("stickE/Zerbanto/K04_160714_2305.CSV"), log_bytes);
    EXPECT_TRUE(names_in(root.path() / "stickF").empty());
    EXPECT_TRUE(names_in(root.path() / "disk").empty());
    EXPECT_EQ(r.last_state().at("inout_mode"), 1);
    EXPECT_EQ(r.last_state().at("Timer1"), true);
}

TEST_F(UsbExport, NoToEveryDriveLeavesTheModeAlone) {
    const SimRun r = run(drive("E", "stickE") + drive("F", "stickF"), "click cmd_OUT\nanswer no\nanswer no\n"
                                                                      "click Cmd_ToUSB\n");
    ASSERT_EQ(r.status, 0) << r.stderr_text;
    EXPECT_EQ(r.of("message").size(), 2U);
    EXPECT_TRUE(names_in(root.path() / "stickE").empty());
    EXPECT_EQ(r.last_state().at("inout_mode"), 2);
}

TEST_F(UsbExport, NoStickGivesOneMessage) {
    const SimRun r = run(drive("D", "disk", "fixed") + drive("N", "share", "network"), "click Cmd_ToUSB\n");
    ASSERT_EQ(r.status, 0) << r.stderr_text;
    ASSERT_EQ(message_texts(r), std::vector<std::string>{"USBメモリが見つかりません"});
    EXPECT_EQ(r.of("message")[0].at("icon"), "critical");
    EXPECT_TRUE(names_in(root.path() / "disk").empty());
}

TEST_F(UsbExport, FolderThatCannotBeMadeIsReportedByTheSearch) {
    root.write_bytes("stickE/zerbanto", "a file where the folder belongs");
    const SimRun r = run(drive("E", "stickE"), "answer yes\nclick Cmd_ToUSB\n");
    ASSERT_EQ(r.status, 0) << r.stderr_text;
    EXPECT_EQ(message_texts(r).back(), "想定外のエラーがでました。Search_OutUSB_Drive");
    EXPECT_EQ(r.of("message").back().at("icon"), "exclamation");
    EXPECT_EQ(r.of("end").size(), 1U);
}

TEST_F(UsbExport, FailedCopyLeavesNothingUnderTheFinalNameAndEnds) {
    // A folder holding a file takes the final name: the finished copy cannot be renamed to it.
    root.write_bytes("stickE/Zerbanto/K04_160714_2305.CSV/keep", "x");
    const SimRun r = run(drive("E", "stickE"), "answer yes\nclick Cmd_ToUSB\n");
    ASSERT_EQ(r.status, 0) << r.stderr_text;
    EXPECT_EQ(message_texts(r).back(), "想定外のエラーがでました。Chk_server_file");
    EXPECT_EQ(r.of("end").size(), 1U);
    EXPECT_EQ(names_in(root.path() / "stickE/Zerbanto"), std::vector<std::string>{"K04_160714_2305.CSV"});
    EXPECT_TRUE(fs::is_directory(root.path() / "stickE/Zerbanto/K04_160714_2305.CSV"));
    EXPECT_EQ(root.read_bytes("zerbanto/KLOG_T04.csv"), log_bytes);
}

// A "Zerbanto" on the stick that is a link (made on another computer) leads the copy nowhere: the export
// stops as for a folder it cannot make, and the folder the link names stays untouched. The copies the export
// does write get the usual mode of new files, not the private one of the system folder.
TEST_F(UsbExport, ALinkOnTheStickIsNeverFollowed) {
    fs::create_directories(root.path() / "elsewhere");
    fs::create_directories(root.path() / "stickE");
    fs::create_directory_symlink(root.path() / "elsewhere", root.path() / "stickE/Zerbanto");
    const SimRun r = run(drive("E", "stickE") + drive("F", "stickF"), "answer no\nanswer yes\nclick Cmd_ToUSB\n"
                                                                      "answer yes\nclick Cmd_ToUSB\n");
    ASSERT_EQ(r.status, 0) << r.stderr_text;
    const mode_t umask_now = ::umask(022);
    ::umask(umask_now);
    EXPECT_EQ(fs::status(root.path() / "stickF/Zerbanto/K04_160714_2305.CSV").permissions() & fs::perms::all,
              fs::perms(0666 & ~umask_now));
    EXPECT_EQ(message_texts(r).back(), "想定外のエラーがでました。Search_OutUSB_Drive");
    EXPECT_EQ(r.of("end").size(), 1U);
    EXPECT_TRUE(names_in(root.path() / "elsewhere").empty());
}

TEST(ExportCopyName, LastTwoCharactersOfTheStoreCode) {
    const DateTime t{2016, 7, 14, 23, 5, 0};
    EXPECT_EQ(export_copy_name("T04", t), "K04_160714_2305.CSV");
    EXPECT_EQ(export_copy_name("本町店", t), "K町店_160714_2305.CSV");
    EXPECT_EQ(export_copy_name("7", t), "K7_160714_2305.CSV");
    EXPECT_EQ(export_copy_name("", DateTime{2009, 1, 2, 3, 4, 5}), "K_090102_0304.CSV");
}

} // namespace
