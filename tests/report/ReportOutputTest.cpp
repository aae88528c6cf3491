// What timerecorder-report writes: the CSV in both encodings, the HTML page, the summary and the exit status.

#include "core/Cp932.h"
#include "report/PayrollWriter.h"
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

std::vector<std::vector<std::string>> rows_of(const std::string& csv) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(csv);
    for (std::string line; std::getline(in, line);) {
        line.pop_back(); // CR
        std::vector<std::string> fields;
        std::istringstream l(line);
        for (std::string f; std::getline(l, f, ',');) {
            fields.push_back(f);
        }
        rows.push_back(fields);
    }
    return rows;
}

// The payroll row of a member holds the totals of the member's CSV total row.
TEST(ReportOutput, PayrollRowsAreTheMemberTotals) {
    TempRoot root;
    write_log(root);
    const std::string log = (root.path() / "KLOG_T01.csv").string();
    const Outcome csv = report({"--encoding", "utf-8", log});
    const Outcome payroll = report({"--format", "payroll", "--encoding", "utf-8", log});
    ASSERT_EQ(payroll.status, 0) << payroll.err;
    EXPECT_EQ(cp932::from_utf8(payroll.out), report({"--format", "payroll", log}).out);
    const auto p = rows_of(payroll.out);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0],
              (std::vector<std::string>{"店舗", "コード", "氏名", "出勤日数", "勤務時間", "時間外", "60時間超", "深夜",
                                        "遅刻回数", "遅刻時間", "早退回数", "早退時間", "休憩不足日数", "修正件数"}));
    std::size_t members = 0;
    for (const auto& t : rows_of(csv.out)) {
        if (t.size() > 3 && t[3] == "合計") {
            const auto& row = p.at(++members);
            EXPECT_EQ(row[1], t[1]);
            // worked, overtime (beyond 8 hours a day and 40 a week), beyond 60 hours, night, late, early
            EXPECT_EQ((std::vector<std::string>{row[4], row[5], row[6], row[7], row[9], row[11]}),
                      (std::vector<std::string>{t[6], t[11], t[12], t[8], t[15], t[16]}));
        }
    }
    EXPECT_EQ(members, 2u);
    EXPECT_EQ(p[1], (std::vector<std::string>{"T01", "1", "佐藤", "1", "9:30", "1:30", "0:00", "0:00", "0", "0:00", "0",
                                              "0:00", "1", "0"}));
    // A month that begins in the middle of a week: the week's earlier days are read for its 40 hours.
    std::string week; // Sunday 29 November to Friday 4 December, 8 hours a day
    for (const char* day : {"2026/11/29", "2026/11/30", "2026/12/1", "2026/12/2", "2026/12/3", "2026/12/4"}) {
        week += cp932_lines(
            {stamp(std::string(day) + " 9:00", "5", "伊藤", 1), stamp(std::string(day) + " 17:00", "5", "伊藤", 2)});
    }
    root.write_bytes("December/KLOG_T01.csv", week);
    const auto december = rows_of(report({"--month", "2026-12", "--format", "payroll", "--encoding", "utf-8",
                                          (root.path() / "December").string()})
                                      .out);
    ASSERT_EQ(december.size(), 2u);
    EXPECT_EQ(december[1][5], "8:00");
    for (const std::vector<std::string>& usage : {std::vector<std::string>{"--hours", "decimal", log},
                                                  {"--round-monthly", log},
                                                  {"--format", "payroll", "--hours", "h", log},
                                                  {"--week-start", "8", log}}) {
        EXPECT_EQ(report(usage).status, 2) << usage[0];
    }
}

// Hours as decimals of the exact minutes; --round-monthly rounds each month's totals, never a day.
TEST(ReportOutput, PayrollHoursAndMonthlyRounding) {
    for (const auto& [minutes, text] : std::vector<std::pair<std::int64_t, std::string>>{
             {0, "0.00"}, {1, "0.02"}, {20, "0.33"}, {29, "0.48"}, {30, "0.50"}, {59, "0.98"}, {6001, "100.02"}}) {
        EXPECT_EQ(decimal_hours_text(minutes), text) << minutes;
    }
    MemberSheet m;
    m.law.months = {MonthLaw{2026, 11, 60 * 60 + 29, 29, 29, {}}, MonthLaw{2026, 12, 60 * 60 + 30, 30, 30, {}}};
    m.law.totals.overtime = 120 * 60 + 59;
    m.law.totals.beyond_60 = 59;
    m.totals.night = 59;
    const PayrollFigures exact = payroll_figures(m, false);
    EXPECT_EQ((std::vector<std::int64_t>{exact.overtime, exact.beyond_60, exact.night}),
              (std::vector<std::int64_t>{120 * 60 + 59, 59, 59}));
    const PayrollFigures rounded = payroll_figures(m, true); // 0:29 dropped, 0:30 an hour: month by month
    EXPECT_EQ((std::vector<std::int64_t>{rounded.overtime, rounded.beyond_60, rounded.night}),
              (std::vector<std::int64_t>{121 * 60, 60, 60}));

    TempRoot root;
    root.write_bytes("KLOG_T01.csv",
                     cp932_lines({stamp("2026/11/2 9:00", "1", "佐藤", 1), stamp("2026/11/2 17:29", "1", "佐藤", 2),
                                  stamp("2026/11/3 21:00", "1", "佐藤", 1), stamp("2026/11/3 22:30", "1", "佐藤", 2)}));
    const std::string log = (root.path() / "KLOG_T01.csv").string();
    const auto row = [&](const std::vector<std::string>& extra) {
        std::vector<std::string> args = {"--format", "payroll", "--encoding", "utf-8", log};
        args.insert(args.begin(), extra.begin(), extra.end());
        const auto rows = rows_of(report(args).out);
        return rows.size() == 2 ? std::vector<std::string>{rows[1][4], rows[1][5], rows[1][7]}
                                : std::vector<std::string>{};
    };
    EXPECT_EQ(row({}), (std::vector<std::string>{"9:59", "0:29", "0:30"}));
    EXPECT_EQ(row({"--hours", "decimal"}), (std::vector<std::string>{"9.98", "0.48", "0.50"}));
    EXPECT_EQ(row({"--round-monthly"}), (std::vector<std::string>{"9:59", "0:00", "1:00"}));
    EXPECT_EQ(row({"--round-monthly", "--hours=decimal"}), (std::vector<std::string>{"9.98", "0.00", "1.00"}));
}

} // namespace
