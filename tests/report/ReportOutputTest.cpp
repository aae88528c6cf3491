// What timerecorder-report writes: the CSV in both encodings, the HTML page, the summary and the exit status.

#include "core/Cp932.h"
#include "report/PayrollWriter.h"
#include "report/ReportLines.h"
#include "report/ReportOptions.h"
#include "report/ReportRun.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

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
    EXPECT_EQ(
        utf8.out,
        "店舗,コード,氏名,営業日,出勤,退勤,勤務,休憩,深夜,8時間超,週40時間超,時間外,60時間超,"
        "予定出勤,予定退勤,遅刻,早退,注意,打刻出勤,打刻退勤,修正\r\n"
        "T01,1,佐藤,2026/11/2,9:00,18:30,9:30,0:00,0:00,1:30,0:00,1:30,0:00,9:00,18:00,0:00,0:00,"
        "休憩不足,9:00,18:30,\r\n"
        "T01,1,佐藤,2026/11/3,,,0:00,0:00,0:00,0:00,0:00,0:00,0:00,,,,,退勤なし (出勤 2026/11/3 10:00),10:00,,\r\n"
        "T01,1,佐藤,合計,,,9:30,0:00,0:00,1:30,0:00,1:30,0:00,,,0:00,0:00,,,,\r\n"
        "T01,2,\"鈴木 \"\"ジロー\"\"\",2026/11/2,22:00,6:00,8:00,0:00,7:00,0:00,0:00,0:00,0:00,,,,,"
        "休憩不足,22:00,6:00,\r\n"
        "T01,2,\"鈴木 \"\"ジロー\"\"\",合計,,,8:00,0:00,7:00,0:00,0:00,0:00,0:00,,,0:00,0:00,,,,\r\n"
        "T01,,,店舗合計,,,17:30,0:00,7:00,1:30,0:00,1:30,0:00,,,0:00,0:00,,,,\r\n");
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
                                                  {"-v", log},
                                                  {"-x", log},
                                                  {log, "--store"}}) {
        const Outcome r = report(usage);
        EXPECT_EQ(r.status, 2) << (usage.empty() ? "" : usage[0]);
        EXPECT_TRUE(r.out.empty());
    }
    // A month is its business days, the 1st of the next not among them.
    const ReportOptionsResult november = parse_report_options({"--month", "2026-11", log});
    EXPECT_EQ(november.options.first_day, day_of(2026, 11, 1));
    EXPECT_EQ(november.options.last_day, day_of(2026, 11, 30));
    // A member list that is a pipe is not read (nor waited for).
    const auto pipe = root.path() / "list-pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const Outcome piped_list = report({"--members", pipe.string(), log});
    EXPECT_EQ(piped_list.status, 1);
    EXPECT_NE(piped_list.err.find("メンバーリストを読めません"), std::string::npos) << piped_list.err;
    // After "--" every argument is an input, also one that looks like an option.
    const Outcome dash = report({"--", "-x", log});
    EXPECT_EQ(dash.status, 1);
    EXPECT_NE(dash.err.find("見つかりません: -x"), std::string::npos) << dash.err;
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

// The report only reads its inputs: an output named as an input, reached through a link or a hard link, or
// inside an input folder, is a usage error and the input is left as it was. A written output is owner-only
// and replaces the old file whole.
TEST(ReportOutput, OutputIsNeverAnInput) {
    TempRoot root;
    write_log(root);
    const auto in = root.path() / "KLOG_T01.csv";
    const std::string log_bytes = root.read_bytes("KLOG_T01.csv");
    std::filesystem::create_directories(root.path() / "out");
    std::filesystem::create_symlink(in, root.path() / "out" / "link.csv");
    std::filesystem::create_hard_link(in, root.path() / "out" / "hard.csv");
    root.write_bytes("sub/deeper/x", "");
    const std::vector<std::vector<std::string>> refused = {
        {"-o", in.string(), in.string()},
        {"-o", (root.path() / "out" / ".." / "KLOG_T01.csv").string(), in.string()},
        {"-o", (root.path() / "out" / "link.csv").string(), in.string()},
        {"-o", (root.path() / "out" / "hard.csv").string(), in.string()},
        {"-o", (root.path() / "sub" / "deeper" / "t.csv").string(), root.path().string()},
        {"--corrections-template", in.string(), in.string()},
        {"--members", (root.path() / "out" / "m.csv").string(), "-o", (root.path() / "out" / "m.csv").string(),
         in.string()},
    };
    for (const auto& args : refused) {
        const Outcome r = report(args);
        EXPECT_EQ(r.status, 2) << args[1];
        EXPECT_NE(r.err.find("出力先が入力"), std::string::npos) << r.err;
        EXPECT_EQ(root.read_bytes("KLOG_T01.csv"), log_bytes);
    }
    root.write_bytes("out/t.csv", "old");
    const Outcome r = report({"-o", (root.path() / "out" / "t.csv").string(), "--", in.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    struct stat st {};
    ASSERT_EQ(::stat((root.path() / "out" / "t.csv").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(root.read_bytes("out/t.csv").substr(0, 4), cp932::from_utf8("店舗"));
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(root.path() / "out"), std::filesystem::directory_iterator()),
        3); // link, hard link, the output: no temporary left
    // A pipe is written where it is, not replaced by a file (nor would /dev/null be).
    const auto pipe = root.path() / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(report({"-o", pipe.string(), in.string()}).status, 0); // a sheet far smaller than the pipe holds
    char buf[4096];
    const ssize_t got = ::read(reader, buf, sizeof buf);
    ::close(reader);
    ASSERT_GT(got, 4);
    EXPECT_EQ(std::string(buf, 4), cp932::from_utf8("店舗"));
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
}

// A journal adds and voids stamps; the logs stay as they are. Each changed day shows the logs' own first
// shift-in and last shift-out beside the corrected ones and its corrections; lines that cannot be applied are
// told with file:line.
TEST(ReportOutput, CorrectionsJournalAddsAndVoidsStamps) {
    TempRoot root;
    write_log(root);
    const std::string log = (root.path() / "KLOG_T01.csv").string();
    const std::string log_bytes = root.read_bytes("KLOG_T01.csv");
    root.write_bytes("fix.csv", cp932_lines({
                                    "店舗,コード,日時,区分,操作,理由,修正者,記入日時",
                                    "T01,1,2026/11/3 18:00,2,追加,打刻忘れ,店長 山田,2026/11/4",
                                    "T01,2,2026/11/2 22:00,1,取消,誤打刻,\"山田, 店長\",2026/11/4",
                                    "T01,1,2026/11/3 19:00,2,追加,,山田,",
                                    "T01,1,2026/11/3 19:00,2,追加,理由,,",
                                    "T01,1,2026/11/2 9:00,2,取消,間違い,山田,",
                                    "T01,1,2026/11/3,2,追加,,,,佐藤 退勤なし",
                                    "T01,1,2026/11/3 19:00,3,追加,理由,山田,",
                                    "T01,2,2026/11/2 22:30,1,追加,店長が確認,山田,2026/11/4",
                                    "T01,2,2026/11/3 6:00,2,取消,誤打刻,山田,",
                                    "T01,2,2026/11/3 5:45,2,追加,店長が確認,山田,",
                                    "T01,1,2026/11/2 18:30,2,変更,理由,山田,",
                                }));
    root.write_bytes("fix-utf8.csv", "\xEF\xBB\xBFT01,3,2026/11/5 9:00,1,追加,新人,山田,\r\n"
                                     "T01,3,2026/11/5 17:00,2,追加,新人,山田,\r\n");
    const std::string fix = (root.path() / "fix.csv").string();
    const Outcome r = report(
        {"--encoding", "utf-8", "--corrections", fix, "--corrections", (root.path() / "fix-utf8.csv").string(), log});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(root.read_bytes("KLOG_T01.csv"), log_bytes);
    for (const char* row :
         {"T01,1,佐藤,2026/11/3,10:00,18:00,8:00,0:00,0:00,0:00,0:00,0:00,0:00,,,,,休憩不足,10:00,,"
          "退勤を追加 2026/11/3 18:00 (打刻忘れ / 店長 山田)\r\n",
          "T01,1,佐藤,2026/11/"
          "2,9:00,18:30,9:30,0:00,0:00,1:30,0:00,1:30,0:00,9:00,18:00,0:00,0:00,休憩不足,9:00,18:30,\r\n",
          "2026/11/2,22:30,5:45,7:15,0:00,6:30,0:00,0:00,0:00,0:00,,,,,休憩不足,22:00,6:00,\"出勤を取消 2026/11/2 "
          "22:00 (誤打刻 / 山田, 店長) "
          "/ "
          "出勤を追加 2026/11/2 22:30 (店長が確認 / 山田) / 退勤を取消 2026/11/3 6:00 (誤打刻 / 山田) / 退勤を追加 "
          "2026/11/3 5:45 (店長が確認 / 山田)\"\r\n",
          "T01,3,,2026/11/5,9:00,17:00,8:00,0:00,0:00,0:00,0:00,0:00,0:00,,,,,休憩不足,,,出勤を追加 2026/11/5 9:00 "
          "(新人 / 山田) / "
          "退勤を追加 2026/11/5 17:00 (新人 / 山田)\r\n"}) {
        EXPECT_NE(r.out.find(row), std::string::npos) << row << "\n" << r.out;
    }
    EXPECT_EQ(r.out.find("退勤なし"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("\",2026/11/3,"), std::string::npos) << r.out; // member 2's corrections are of 2 Nov
    for (const std::string refused :
         {":4: 理由がありません", ":5: 修正者がありません", ":6: 取り消す打刻がログにありません",
          ":7: 日時の時刻がありません", ":8: 区分は 1 (出勤) か 2 (退勤) です", ":12: 操作は 追加 か 取消 です"}) {
        std::string told = "修正を適用しませんでした: " + fix;
        told += refused;
        EXPECT_NE(r.err.find(told), std::string::npos) << refused << r.err;
    }
    EXPECT_NE(r.err.find("修正: 適用 7、適用しなかった行 6\n"), std::string::npos) << r.err;
    // A line for what the report does not cover is left alone, neither applied nor refused.
    const Outcome one = report({"--encoding", "utf-8", "--member", "1", "--corrections", fix, log});
    EXPECT_EQ(one.out.find("鈴木"), std::string::npos) << one.out;
    EXPECT_EQ(one.err.find(fix + ":3:"), std::string::npos) << one.err;
    EXPECT_NE(one.err.find("修正: 適用 1、適用しなかった行 6\n"), std::string::npos) << one.err;

    const Outcome html = report({"--format", "html", "--corrections", fix, log});
    EXPECT_NE(html.out.find("<td class=\"fixed\">22:30<span class=\"logged\">打刻 22:00</span></td>"),
              std::string::npos);
    EXPECT_NE(html.out.find("<td class=\"fixed\">18:00<span class=\"logged\">打刻 なし</span></td>"),
              std::string::npos);
    EXPECT_NE(html.out.find("<h3>修正 (5 件)</h3>"), std::string::npos);
    EXPECT_NE(html.out.find("2 鈴木 &quot;ジロー&quot;: 出勤を取消 2026/11/2 22:00 (誤打刻 / 山田, 店長)"),
              std::string::npos);

    EXPECT_EQ(report({"--corrections", (root.path() / "none.csv").string(), log}).status, 1);
}

// The template holds a line per stamp anomaly with the time and the reason empty: given back unchanged it is
// refused, completed it is applied.
TEST(ReportOutput, CorrectionsTemplateIsCompletedByTheOffice) {
    TempRoot root;
    write_log(root);
    const std::string log = (root.path() / "KLOG_T01.csv").string();
    const std::string journal = (root.path() / "todo.csv").string();
    const Outcome first = report({"--corrections-template", journal, log});
    ASSERT_EQ(first.status, 0) << first.err;
    const std::string made = root.read_bytes("todo.csv");
    EXPECT_EQ(cp932::to_utf8(made), "店舗,コード,日時,区分,操作,理由,修正者,記入日時,参考\r\n"
                                    "T01,1,2026/11/3,2,追加,,,,佐藤 退勤なし (出勤 2026/11/3 10:00)\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(journal.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const Outcome unchanged = report({"--corrections", journal, log});
    EXPECT_EQ(unchanged.out, first.out);
    EXPECT_NE(unchanged.err.find(journal + ":2: 日時の時刻がありません"), std::string::npos) << unchanged.err;
    std::string completed = cp932::to_utf8(made);
    completed.replace(completed.find("2026/11/3,2,追加,,,"), 19, "2026/11/3 18:00,2,追加,打刻忘れ,山田,");
    root.write_bytes("todo.csv", cp932::from_utf8(completed));
    const Outcome done =
        report({"--corrections", journal, "--corrections-template", (root.path() / "next.csv").string(), log});
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_NE(done.err.find("修正: 適用 1、適用しなかった行 0\n"), std::string::npos) << done.err;
    EXPECT_EQ(cp932::to_utf8(root.read_bytes("next.csv")), "店舗,コード,日時,区分,操作,理由,修正者,記入日時,参考\r\n");
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
    // Those days count for the week's hours only, with the journal applied (30 November 4 hours shorter), but
    // their names, corrections and anomalies are not December's.
    week += cp932_lines({stamp("2026/11/27 10:00", "5", "伊東", 1)});
    root.write_bytes("December/KLOG_T01.csv", week);
    root.write_bytes("fix.csv", cp932_lines({"T01,5,2026/11/30 17:00,2,取消,早退,山田,",
                                             "T01,5,2026/11/30 13:00,2,追加,早退,山田,"}));
    const std::vector<std::string> fixed_december = {"--month",
                                                     "2026-12",
                                                     "--encoding",
                                                     "utf-8",
                                                     "--corrections",
                                                     (root.path() / "fix.csv").string(),
                                                     "--corrections-template",
                                                     (root.path() / "todo.csv").string(),
                                                     (root.path() / "December").string()};
    const Outcome fixed_csv = report(fixed_december);
    EXPECT_EQ(fixed_csv.out.find("伊東"), std::string::npos) << fixed_csv.out;
    EXPECT_EQ(fixed_csv.out.find("取消"), std::string::npos) << fixed_csv.out;
    EXPECT_NE(fixed_csv.err.find("\n注意: 0\n"), std::string::npos) << fixed_csv.err;
    EXPECT_EQ(cp932::to_utf8(root.read_bytes("todo.csv")), "店舗,コード,日時,区分,操作,理由,修正者,記入日時,参考\r\n");
    std::vector<std::string> fixed_payroll = fixed_december;
    fixed_payroll.insert(fixed_payroll.begin(), {"--format", "payroll"});
    const auto fixed = rows_of(report(fixed_payroll).out);
    ASSERT_EQ(fixed.size(), 2u);
    EXPECT_EQ((std::vector<std::string>{fixed[1][5], fixed[1][13]}), (std::vector<std::string>{"4:00", "0"}));
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
              (std::vector<std::int64_t>{121LL * 60, 60, 60}));

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
