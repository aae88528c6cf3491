#include "stamping/AttendanceLog.h"
#include "stamping/LogLine.h"

#include "app/recorder/Recorder.h"
#include "core/Cp932.h"
#include "support/FakeServices.h"
#include "support/FileSizeLimit.h"
#include "support/RecorderParts.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TEST(LogLine, EightFieldsWithPlannedTimesOrEmpty) {
    const DateTime t{2014, 12, 7, 9, 5, 40};
    EXPECT_EQ(log_line("T01", t, "123", "山田 花子", 1, "9:00", "17:00", "012E4C1B3A5F6D7E"),
              "T01,2014/12/7 9:05,123,山田 花子,1,9:00,17:00,012E4C1B3A5F6D7E");
    // No row on a full board: both planned fields empty, still eight fields.
    EXPECT_EQ(log_line("T01", DateTime{2026, 1, 31, 0, 0, 0}, "7", "佐藤", 2, "", "", "AB"),
              "T01,2026/1/31 0:00,7,佐藤,2,,,AB");
    EXPECT_EQ(log_line("T01", DateTime{2026, 10, 10, 23, 59, 59}, "7", "佐藤", 1, "", "", "AB"),
              "T01,2026/10/10 23:59,7,佐藤,1,,,AB");
}

// Every appended line is in the file as soon as append returns, in code page 932 with CR LF.
TEST(AttendanceLog, AppendedLinesAreOnDiskBeforeTheClose) {
    TempRoot root;
    const auto path = root.path() / "KLOG_T01.csv";
    AttendanceLog log;
    EXPECT_EQ(log.append_line("x").error(), ErrorNumber::BadFileNameOrNumber); // not open
    ASSERT_TRUE(log.open_append(path));
    EXPECT_TRUE(std::filesystem::exists(path)); // created empty by the open
    EXPECT_EQ(root.read_bytes("KLOG_T01.csv"), "");
    ASSERT_TRUE(log.append_line("T01,2014/12/7 9:05,123,山田 花子,1,9:00,17:00,ID"));
    EXPECT_EQ(root.read_bytes("KLOG_T01.csv"), cp932_lines({"T01,2014/12/7 9:05,123,山田 花子,1,9:00,17:00,ID"}));
    ASSERT_TRUE(log.append_line("T01,2014/12/7 9:06,124,髙橋,2,,,ID2"));
    EXPECT_EQ(root.read_bytes("KLOG_T01.csv"),
              cp932_lines({"T01,2014/12/7 9:05,123,山田 花子,1,9:00,17:00,ID", "T01,2014/12/7 9:06,124,髙橋,2,,,ID2"}));
    log.close();
    EXPECT_EQ(log.append_line("x").error(), ErrorNumber::BadFileNameOrNumber);
}

// The simulator tells a test which lines must survive a kill: a line is reported only once the file holds it.
TEST(AttendanceLog, ALineIsReportedOnlyOnceTheFileHoldsIt) {
    TempRoot root;
    AttendanceLog log;
    std::vector<std::string> reported;
    log.set_on_appended([&](std::string_view line) {
        reported.emplace_back(line);
        const std::string bytes = root.read_bytes("KLOG_T01.csv");
        const std::string want = cp932::from_utf8(line) + "\r\n";
        EXPECT_EQ(bytes.substr(bytes.size() - std::min(bytes.size(), want.size())), want);
    });
    EXPECT_FALSE(log.append_line("T01,2014/12/7 9:04,1,a,1,,,A")); // closed: not written, not reported
    ASSERT_TRUE(log.open_append(root.path() / "KLOG_T01.csv"));
    ASSERT_TRUE(log.append_line("T01,2014/12/7 9:05,1,佐藤,1,,,A"));
    ASSERT_TRUE(log.append_line("T01,2014/12/7 9:06,2,b,2,,,B"));
    EXPECT_EQ(reported, (std::vector<std::string>{"T01,2014/12/7 9:05,1,佐藤,1,,,A", "T01,2014/12/7 9:06,2,b,2,,,B"}));
}

// An editor or a backup tool that saves by writing a new file and renaming it, or a deletion: the next line
// goes to the file the path names now. A log the recorder creates is readable by its owner only.
TEST(AttendanceLog, ALineGoesToTheFileAtThePathAfterItWasReplacedOrDeleted) {
    TempRoot root;
    const auto path = root.path() / "KLOG_T01.csv";
    const mode_t umask_before = ::umask(022);
    AttendanceLog log;
    ASSERT_TRUE(log.open_append(path));
    ASSERT_TRUE(log.append_line("one"));
    std::filesystem::rename(path, root.path() / "KLOG_T01.bak"); // kept aside, a new file in its place
    root.write_bytes("KLOG_T01.csv", cp932_lines({"new"}));
    ASSERT_TRUE(log.append_line("two"));
    root.write_bytes("KLOG_T01.csv.new", cp932_lines({"edited"})); // saved beside and renamed over
    std::filesystem::rename(root.path() / "KLOG_T01.csv.new", path);
    ASSERT_TRUE(log.append_line("three"));
    EXPECT_EQ(root.read_bytes("KLOG_T01.bak"), cp932_lines({"one"}));
    EXPECT_EQ(root.read_bytes("KLOG_T01.csv"), cp932_lines({"edited", "three"}));

    std::filesystem::remove(path);
    ASSERT_TRUE(log.append_line("four"));
    EXPECT_EQ(root.read_bytes("KLOG_T01.csv"), cp932_lines({"four"}));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600U);
    ::umask(umask_before);
}

// A full disk cuts a line short: the write is taken back whole, the file is as it was, and the next line
// that fits is whole on a line of its own.
TEST(AttendanceLog, AFailedWriteLeavesNoFragment) {
    TempRoot root;
    AttendanceLog log;
    std::vector<std::string> reported;
    log.set_on_appended([&](std::string_view line) { reported.emplace_back(line); });
    ASSERT_TRUE(log.open_append(root.path() / "KLOG_T01.csv"));
    ASSERT_TRUE(log.append_line("T01,2014/12/7 9:05,1,a,1,,,A"));
    const std::string before = root.read_bytes("KLOG_T01.csv");
    {
        const FileSizeLimit full(before.size() + 10);
        EXPECT_EQ(log.append_line("T01,2014/12/7 9:06,2,b,2,,,B").error(), ErrorNumber::BadFileNameOrNumber);
    }
    EXPECT_EQ(root.read_bytes("KLOG_T01.csv"), before);
    ASSERT_TRUE(log.append_line("T01,2014/12/7 9:07,3,c,1,,,C"));
    EXPECT_EQ(root.read_bytes("KLOG_T01.csv"),
              cp932_lines({"T01,2014/12/7 9:05,1,a,1,,,A", "T01,2014/12/7 9:07,3,c,1,,,C"}));
    EXPECT_EQ(reported, (std::vector<std::string>{"T01,2014/12/7 9:05,1,a,1,,,A", "T01,2014/12/7 9:07,3,c,1,,,C"}));
}

TEST(AttendanceLog, OpeningEndsATornLastLine) {
    TempRoot root;
    root.write_bytes("KLOG_T01.csv", cp932_lines({"T01,2014/12/7 9:05,1,a,1,,,A"}) + "T01,2014/12/7 9:");
    AttendanceLog log;
    ASSERT_TRUE(log.open_append(root.path() / "KLOG_T01.csv"));
    ASSERT_TRUE(log.append_line("T01,2014/12/7 9:10,2,b,1,,,B"));
    log.close();
    ASSERT_TRUE(log.open_append(root.path() / "KLOG_T01.csv")); // a whole last line is left alone
    log.close();
    EXPECT_EQ(root.read_bytes("KLOG_T01.csv"),
              cp932_lines({"T01,2014/12/7 9:05,1,a,1,,,A", "T01,2014/12/7 9:", "T01,2014/12/7 9:10,2,b,1,,,B"}));
}

TEST(AttendanceLog, ReopenFollowsTheStoreCode) {
    TempRoot root;
    root.write_bytes("zerbanto/KLOG_T01.CSV", cp932_lines({"old"})); // the same file in other case
    TestRecorder t(root.path());
    CardTouches& card = RecorderParts::card(*t.rec);
    use_store(*t.rec, "T01");
    ASSERT_TRUE(card.open_log());
    EXPECT_EQ(card.log_path(), root.zerbanto() / "KLOG_T01.CSV");
    use_store(*t.rec, "T02");
    ASSERT_TRUE(card.open_log());
    EXPECT_EQ(card.log_path(), root.zerbanto() / "KLOG_T02.csv");
    EXPECT_EQ(root.read_bytes("zerbanto/KLOG_T01.CSV"), cp932_lines({"old"}));
    EXPECT_EQ(root.read_bytes("zerbanto/KLOG_T02.csv"), "");
}

} // namespace
