// Which files a report reads: log names in folders, overlapping copies, paths that cannot be read; and the lines
// it cannot read.

#include "core/Cp932.h"
#include "report/CsvWriter.h"
#include "report/InputFiles.h"
#include "report/LogReading.h"
#include "report/ReportLines.h"
#include "report/ReportRun.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<std::string> names(const std::vector<std::filesystem::path>& paths) {
    std::vector<std::string> out;
    out.reserve(paths.size());
    for (const auto& p : paths) {
        out.push_back(p.filename().string());
    }
    return out;
}

TEST(ReportInput, CopiesThatBeginAnotherFileAddNothing) {
    TempRoot root;
    // A long common start, so that the copies share more than the bytes compared first.
    std::string lines;
    for (int d = 1; d <= 9; ++d) {
        lines += cp932_lines({stamp("2026/11/" + std::to_string(d) + " 9:00", "1", "佐藤", 1)});
    }
    const std::string more = cp932_lines({stamp("2026/11/10 9:00", "1", "佐藤", 1)});
    root.write_bytes("office/K01_261110_2100.CSV", lines);
    root.write_bytes("office/K01_261120_2100.CSV", lines + more);
    root.write_bytes("office/K01_261120_2101.CSV", lines + more);           // the same copy twice: one counts
    root.write_bytes("stick/Zerbanto/KLOG_T01.csv", lines.substr(0, 30));   // torn inside a line: still a prefix
    root.write_bytes("stick/Zerbanto/E99_member.csv", lines);               // not a log name
    root.write_bytes("office/sub/K01_261121_2100.CSV", lines + "X" + more); // differs after the start: counts whole
    root.write_bytes("other.txt", lines.substr(0, lines.size() - 1));       // named: considered whatever its name
    root.write_bytes("stick/Zerbanto/KLOG_T02.csv", "T02,2026/11/1 9:00,1,x,1,,,A\r\n"); // short: begins only itself

    const InputFiles in = gather_inputs({root.path() / "office", root.path() / "stick", root.path() / "other.txt",
                                         root.path() / "office" / "K01_261110_2100.CSV", root.path() / "missing"});
    EXPECT_EQ(names(in.read), (std::vector<std::string>{"K01_261120_2100.CSV", "K01_261121_2100.CSV", "KLOG_T02.csv"}));
    EXPECT_EQ(in.earlier_copies.size(), 4u);
    EXPECT_EQ(in.found, 7u);
    ASSERT_EQ(in.errors.size(), 1u);
    EXPECT_NE(in.errors[0].find("missing"), std::string::npos);

    EXPECT_TRUE(is_log_name("klog_T01.CSV"));
    EXPECT_TRUE(is_log_name("K01_261110_2100.CSV"));
    EXPECT_FALSE(is_log_name("K01_26111_21000.CSV"));
    EXPECT_FALSE(is_log_name("KLOG_.csv"));
}

// Lines the recorder never writes are reported with their number: skipped when they cannot be read, still
// counted when only the plan (no late start or early leave then) or the name is wrong. A date and time with
// leading zeros is read.
TEST(ReportInput, UnreadableLinesAreReportedWithTheirNumberAndSkipped) {
    TempRoot root;
    const std::string good = cp932_lines({stamp("2026/11/2 9:00", "1", "佐藤", 1)});
    root.write_bytes("KLOG_T01.csv", good + "\r\n" + "T01,2026/11/2 9:00,1,\x82,1,,,A\r\n" +
                                         "T01,2026/11/2,1,x,1,,,A\r\n" + "T01,2026/11/02 09:30,1,x,2,,,A\r\n" +
                                         "T01,2026/11/2 10:00,1,x,1,25:00,,A\r\n" +
                                         "T01,2026/11/2 10:01,1,x,1,,9:00:00,A\r\n" +
                                         "T01,2026/11/2 17:00,1,,2,,,A\r\n" + "T01,2026/11/2 17:0");
    std::vector<std::string> reported;
    const auto unreadable = [&](const auto&, std::size_t line, LineKind kind) {
        reported.push_back(std::to_string(line) + "UPN"[static_cast<int>(kind) - 1]);
    };
    StampCollector c(StampFilter{});
    ASSERT_TRUE(c.read_file(root.path() / "KLOG_T01.csv", unreadable));
    EXPECT_EQ(reported, (std::vector<std::string>{"2U", "3U", "4U", "6P", "7P", "8N", "9U"}));
    EXPECT_EQ(c.lines(), 9u);
    EXPECT_EQ(c.stamps(), 5u);
    EXPECT_EQ(c.unreadable(), 4u);
    EXPECT_FALSE(c.read_file(root.path() / "none.csv", unreadable));
    // The empty name is not a second name of the member.
    EXPECT_EQ(c.collected().members.at(0).names, (std::vector<std::string>{"佐藤", "x"}));
}

// Files read on several threads, each a run of them, give what one reader of all of them in order gives: a stay
// begun in one file and ended in another, the names of a member in the order met, stamps of one minute in the
// order of the files, and unreadable lines reported in file order.
TEST(ReportInput, ReadingOnSeveralThreadsGivesWhatOneReaderGives) {
    TempRoot root;
    const std::vector<std::vector<std::string>> files = {
        {stamp("2026/11/2 22:00", "1", "佐藤", 1), stamp("2026/11/2 22:00", "2", "鈴木", 1), "broken line"},
        {stamp("2026/11/3 6:00", "1", "佐藤 花子", 2), stamp("2026/11/3 6:00", "2", "鈴木", 2)},
        {stamp("2026/11/3 9:00", "1", "佐藤", 1), "T01,2026/11/3,1,x,1,,,A", stamp("2026/11/3 17:00", "1", "佐藤", 2)},
        {stamp("2026/11/3 17:00", "1", "佐藤", 1), stamp("2026/11/3 17:00", "2", "鈴木", 1),
         stamp("2026/11/3 18:00", "2", "鈴木", 2)},
    };
    std::vector<std::filesystem::path> paths;
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::string bytes;
        for (const auto& l : files[i]) {
            bytes += cp932::from_utf8(l) + "\r\n";
        }
        paths.push_back(root.path() / ("KLOG_T0" + std::to_string(i) + ".csv"));
        root.write_bytes(paths.back().filename().string(), bytes);
    }
    const auto read = [&](unsigned threads, std::vector<std::string>& troubles) {
        LogReading r = read_logs(paths, StampFilter{}, threads);
        for (const auto& t : r.troubles) {
            troubles.push_back(t.file.filename().string() + ":" + std::to_string(t.line));
        }
        EXPECT_EQ(r.collector.lines(), 11u);
        std::ostringstream csv;
        const Timesheet sheet = build_timesheet(r.collector.collected(), INT32_MIN, INT32_MAX, {}, threads);
        {
            CsvSheetWriter writer(csv, true); // writes what it still holds when it goes
            for (const auto& store : sheet.stores) {
                writer.store(store);
            }
        }
        return csv.str();
    };
    std::vector<std::string> one_troubles;
    const std::string one = read(1, one_troubles);
    EXPECT_EQ(one_troubles, (std::vector<std::string>{"KLOG_T00.csv:3", "KLOG_T02.csv:2"}));
    EXPECT_NE(one.find("T01,1,佐藤,2026/11/2,22:00,6:00,8:00,"), std::string::npos) << one;
    EXPECT_NE(one.find("コードに氏名が複数: 佐藤 / 佐藤 花子"), std::string::npos) << one;
    // The shift-out of 17:00 comes before the shift-in of the same minute: the day's stay ends, a new one opens.
    EXPECT_NE(one.find("T01,1,佐藤,2026/11/3,9:00,17:00,8:00,"), std::string::npos) << one;
    for (unsigned threads : {2U, 3U, 4U}) {
        std::vector<std::string> troubles;
        EXPECT_EQ(read(threads, troubles), one) << threads;
        EXPECT_EQ(troubles, one_troubles) << threads;
    }
}

// Two copies that overlap without one beginning the other, in two folders: stamps of one minute come from both,
// and the sheet is the same whichever folder holds which copy.
TEST(ReportInput, TheSheetDoesNotDependOnWhereTheFilesStand) {
    const std::string a =
        cp932_lines({stamp("2026/11/2 9:00", "1", "佐藤", 1), stamp("2026/11/2 17:00", "1", "佐藤", 2)});
    const std::string b =
        cp932_lines({stamp("2026/11/2 9:00", "1", "佐藤", 1), stamp("2026/11/2 17:00", "1", "佐藤", 1),
                     stamp("2026/11/2 20:00", "1", "佐藤", 2)});
    std::vector<std::string> sheets;
    for (const bool swapped : {false, true}) {
        TempRoot root;
        root.write_bytes("a/KLOG_T01.csv", swapped ? b : a);
        root.write_bytes("b/KLOG_T01.csv", swapped ? a : b);
        std::ostringstream out, err;
        ASSERT_EQ(run_report({"--encoding", "utf-8", root.path().string()}, out, err), 0) << err.str();
        sheets.push_back(out.str());
    }
    EXPECT_EQ(sheets[0], sheets[1]);
    // The shift-out of 17:00 ends the day's first stay before the shift-in of 17:00 begins the next.
    EXPECT_NE(sheets[0].find("T01,1,佐藤,2026/11/2,9:00,20:00,11:00,0:00,"), std::string::npos) << sheets[0];
}

} // namespace
