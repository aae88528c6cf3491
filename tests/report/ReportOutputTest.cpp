// What timerecorder-report writes: the CSV in both encodings, the HTML page, the summary and the exit status.

#include "core/Cp932.h"
#include "report/ReportLines.h"
#include "report/ReportRun.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace {

struct Outcome {
    int status = 0;
    std::string out;
    std::string err;
};

Outcome report(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    Outcome r;
    r.status = run_report(args, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

// Two members of T01 over two days, one of them with a stay that never ends.
void write_log(const TempRoot& root) {
    root.write_bytes("KLOG_T01.csv", cp932_lines({
                                         stamp("2026/11/2 9:00", "1", "佐藤", 1, "9:00", "18:00"),
                                         stamp("2026/11/2 18:30", "1", "佐藤", 2, "9:00", "18:00"),
                                         stamp("2026/11/2 22:00", "2", "鈴木 \"ジロー\"", 1),
                                         stamp("2026/11/3 6:00", "2", "鈴木 \"ジロー\"", 2),
                                         stamp("2026/11/3 10:00", "1", "佐藤", 1),
                                     }));
}

TEST(ReportOutput, CsvRowsTotalsAndEncodings) {
    TempRoot root;
    write_log(root);
    const std::string log = (root.path() / "KLOG_T01.csv").string();
    const Outcome in_cp932 = report({"--month", "2026-11", log});
    ASSERT_EQ(in_cp932.status, 0) << in_cp932.err;
    const Outcome utf8 = report({"--month=2026-11", "--encoding", "utf-8", log});
    EXPECT_EQ(in_cp932.out, cp932::from_utf8(utf8.out));
    EXPECT_EQ(utf8.out.substr(0, 7), "店舗,"); // no byte-order mark
    // A double quote in a name is quoted, so that a spreadsheet still sees one field.
    EXPECT_EQ(utf8.out,
              "店舗,コード,氏名,営業日,出勤,退勤,勤務,休憩,深夜,8時間超,週40時間超,時間外,60時間超,"
              "予定出勤,予定退勤,遅刻,早退,注意\r\n"
              "T01,1,佐藤,2026/11/2,9:00,18:30,9:30,0:00,0:00,1:30,0:00,1:30,0:00,9:00,18:00,0:00,0:00,"
              "休憩不足\r\n"
              "T01,1,佐藤,2026/11/3,,,0:00,0:00,0:00,0:00,0:00,0:00,0:00,,,,,退勤なし (出勤 2026/11/3 10:00)\r\n"
              "T01,1,佐藤,合計,,,9:30,0:00,0:00,1:30,0:00,1:30,0:00,,,0:00,0:00,\r\n"
              "T01,2,\"鈴木 \"\"ジロー\"\"\",2026/11/2,22:00,6:00,8:00,0:00,7:00,0:00,0:00,0:00,0:00,,,,,"
              "休憩不足\r\n"
              "T01,2,\"鈴木 \"\"ジロー\"\"\",合計,,,8:00,0:00,7:00,0:00,0:00,0:00,0:00,,,0:00,0:00,\r\n"
              "T01,,,店舗合計,,,17:30,0:00,7:00,1:30,0:00,1:30,0:00,,,0:00,0:00,\r\n");
}

TEST(ReportOutput, HtmlPageIsSelfContainedAndItsTotalsAddUp) {
    TempRoot root;
    write_log(root);
    const Outcome r = report({"--format", "html", (root.path() / "KLOG_T01.csv").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* outside : {"http:", "https:", "//", "src=", "href=", "url(", "@import", "<link", "<script"}) {
        EXPECT_EQ(r.out.find(outside), std::string::npos) << outside;
    }
    EXPECT_NE(r.out.find("<svg"), std::string::npos);
    EXPECT_NE(r.out.find("size: A4"), std::string::npos);
    // The store's table: the members' worked times and the store total below them.
    const auto table = r.out.substr(r.out.find("<table class=\"totals\">"));
    const std::regex worked("<td class=\"worked\">(\\d+):(\\d\\d)</td>");
    std::vector<int> minutes;
    for (auto it =
             std::sregex_iterator(table.begin(), table.begin() + static_cast<long>(table.find("</table>")), worked);
         it != std::sregex_iterator(); ++it) {
        minutes.push_back(std::stoi((*it)[1]) * 60 + std::stoi((*it)[2]));
    }
    EXPECT_EQ(minutes, (std::vector<int>{9 * 60 + 30, 8 * 60, 17 * 60 + 30}));
    EXPECT_NE(r.out.find("鈴木 &quot;ジロー&quot;"), std::string::npos);
}

TEST(ReportOutput, ExitStatusAndSummary) {
    TempRoot root;
    write_log(root);
    const std::string log = (root.path() / "KLOG_T01.csv").string();
    for (const std::vector<std::string>& usage : {std::vector<std::string>{},
                                                  {"--month", "2026-13", log},
                                                  {"--from", "2026-11-31", log},
                                                  {"--from", "2026-11-02", "--to", "2026-11-01", log},
                                                  {"--month", "2026-11", "--to", "2026-11-03", log},
                                                  {"--format", "pdf", log},
                                                  {"--bogus", log},
                                                  {log, "--store"}}) {
        const Outcome r = report(usage);
        EXPECT_EQ(r.status, 2) << (usage.empty() ? "" : usage[0]);
        EXPECT_TRUE(r.out.empty());
    }
    // One business day: the night that began the day before ends in it without an anomaly.
    const Outcome one_day = report({"--from", "2026-11-03", "--to", "2026-11-03", "--encoding", "utf-8", log});
    EXPECT_EQ(one_day.status, 0);
    EXPECT_NE(one_day.out.find("T01,1,佐藤,2026/11/3,"), std::string::npos);
    EXPECT_EQ(one_day.out.find("2026/11/2"), std::string::npos);
    EXPECT_EQ(one_day.out.find("出勤なし"), std::string::npos);
    // A path that cannot be read: what can be read is still reported.
    const Outcome partial =
        report({"--encoding", "utf-8", "--store", "T01", "--member", "2", log, (root.path() / "gone").string()});
    EXPECT_EQ(partial.status, 1);
    EXPECT_NE(partial.err.find("見つかりません: " + (root.path() / "gone").string()), std::string::npos);
    EXPECT_NE(partial.out.find("T01,2,\"鈴木 \"\"ジロー\"\"\",2026/11/2,22:00,6:00,8:00,0:00,7:00,0:00"),
              std::string::npos);
    EXPECT_EQ(partial.out.find("佐藤"), std::string::npos);
    EXPECT_NE(partial.err.find("ファイル: 1\n前のコピーとして読まなかったファイル: 0\n行: 5\n読めない行: 0\n打刻: 2\n"
                               "メンバー: 1\n注意: 0\n"),
              std::string::npos)
        << partial.err;
}

} // namespace
