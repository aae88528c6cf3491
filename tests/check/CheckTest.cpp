// timerecorder-check on member lists and shift plans: one table of cases a problem kind, each with the
// problems expected (line and a piece of the message) and the exit status.

#include "check/CheckRun.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::vector<std::string> lines; // the output's lines without the file's path
    std::string err;
};

Outcome run(const std::vector<std::string>& args, const fs::path& strip = {}) {
    std::ostringstream out;
    std::ostringstream err;
    Outcome r;
    r.status = run_check(args, out, err);
    r.err = err.str();
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) {
        const std::string prefix = strip.string() + "/";
        r.lines.push_back(line.starts_with(prefix) ? line.substr(prefix.size()) : line);
    }
    return r;
}

// Each problem expected: "file:line: " (or "file: ") followed by a piece of its message.
void expect_problems(const Outcome& r, const std::vector<std::string>& expected, int status) {
    EXPECT_EQ(r.status, status);
    ASSERT_EQ(r.lines.size(), expected.size()) << ::testing::PrintToString(r.lines);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::string& e = expected[i];
        const std::size_t cut = e.find(": ") + 2;
        EXPECT_TRUE(r.lines[i].starts_with(e.substr(0, cut)) && r.lines[i].find(e.substr(cut)) != std::string::npos)
            << r.lines[i] << " / expected " << e;
    }
}

const std::vector<std::string> good_members = {"99999,2026/12/1", "1001,山田 太郎,0123456789ABCDEF",
                                               "1002,鈴木 花子,0123456789ABCDE0"};

std::string lines_of(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& l : lines) {
        bytes += cp932_lines({l});
    }
    return bytes;
}

struct Case {
    const char* what;
    std::string bytes;
    std::vector<std::string> problems;
    int status;
};

void run_cases(const char* name, const std::vector<Case>& cases, const std::vector<std::string>& more = {}) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempRoot root;
        root.write_bytes(name, c.bytes);
        std::vector<std::string> args = more;
        for (std::string& a : args) {
            root.write_bytes(a, lines_of(good_members));
            a = (root.path() / a).string();
        }
        args.push_back((root.path() / name).string());
        expect_problems(run(args, root.path()), c.problems, c.status);
    }
}

std::vector<std::string> plus(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(CheckMemberList, EachProblemByLine) {
    const auto m = [](const std::vector<std::string>& more) { return lines_of(plus(good_members, more)); };
    run_cases(
        "E99_member.csv",
        {
            {"a good list", m({}), {}, 0},
            {"an empty line is passed over", m({"", "1003,佐藤,AB"}), {}, 0},
            {"no date line", lines_of({good_members[1]}), {"E99_member.csv: 日付の行"}, 1},
            {"a date line without its date",
             lines_of({"99999", good_members[1]}),
             {"E99_member.csv: 日付の行", "E99_member.csv:1: 日付の欄がありません"},
             1},
            {"no members", lines_of({good_members[0]}), {"E99_member.csv: 一人もいません"}, 1},
            {"a code twice", m({"", "1001,佐藤,AB"}), {"E99_member.csv:5: 2 行目と重複"}, 1},
            {"one card for two", m({"1003,佐藤,0123456789ABCDE0"}), {"E99_member.csv:4: 3 行目の人と同じ"}, 1},
            {"no card",
             m({"1003,佐藤", "1004,田中,"}),
             {"E99_member.csv:4: カードIDmがありません", "E99_member.csv:5: カードIDmがありません"},
             1},
            {"cards the reader never gives",
             m({"1003,佐藤,ab", "1004,田中,ABC", "1005,林,A B0"}),
             {"E99_member.csv:4: 読み取り機", "E99_member.csv:5: 読み取り機", "E99_member.csv:6: 読み取り機"},
             1},
            {"no name", m({"1003,,AB"}), {"E99_member.csv:4: 氏名が空"}, 1},
            {"no code", m({",佐藤,AB"}), {"E99_member.csv:4: コードが空"}, 1},
            {"a code the keypad cannot type",
             m({"A3,佐藤,AB"}),
             {"E99_member.csv:4: 注意: コード「A3」は数字だけではありません"},
             0},
            {"a line saved as UTF-8", lines_of(good_members) + "1003,佐藤,AB\r\n", {"E99_member.csv:4: UTF-8"}, 1},
            {"bytes that do not decode",
             lines_of(good_members) + "1003,\x82,AB\r\n",
             {"E99_member.csv:4: 読めないバイト"},
             1},
        });
}

TEST(CheckMemberList, MembersBeyondTheTableAreNamedAtTheFirstDropped) {
    std::vector<std::string> lines = {"99999,2026/12/1"};
    for (int i = 0; i < 10001; ++i) {
        char idm[17];
        std::snprintf(idm, sizeof idm, "%016X", i);
        lines.push_back(std::to_string(10000 + i) + ",名" + std::to_string(i) + "," + idm);
    }
    const std::string full = lines_of(lines);
    run_cases("E99_member.csv",
              {{"10001 members", full, {}, 0},
               {"10002 members", full + cp932_lines({"20001,次,AB"}), {"E99_member.csv:10003: 10001 人まで"}, 1}});
}

TEST(CheckShiftPlan, EachProblemByLine) {
    const std::vector<std::string> title = {"99999,12月"};
    const auto p = [&](const std::vector<std::string>& more) { return lines_of(plus(title, more)); };
    const std::string ok = "261201,山田 太郎,,9:00,17:00";
    run_cases(
        "S04_SHIFT.csv",
        {
            {"a good plan", p({ok, "261202,鈴木 花子,,0:00,23:59", "261203,山田 太郎,,09:00,5:00"}), {}, 0},
            {"no title", lines_of({ok}), {"S04_SHIFT.csv: 注意: 題の行"}, 0},
            {"a title without its text", lines_of({ok, "99999", ok}), {"S04_SHIFT.csv:2: 題の欄がありません"}, 1},
            {"an empty line stops every day",
             p({ok, "", "261202,山田 太郎,,25:00,17:00"}),
             {"S04_SHIFT.csv:3: 空行です"},
             1},
            {"a short line stops its day only",
             p({"261201,山田 太郎,,9:00", "261201,山田 太郎,,25:00,17:00", "261202,鈴木 花子,,25:00,17:00"}),
             {"S04_SHIFT.csv:2: 欄が 4 つ", "S04_SHIFT.csv:4: 開始予定「25:00」"},
             1},
            {"days no date matches",
             p({"261232,山田 太郎,,9:00,17:00", "26121,山田 太郎,,9:00,17:00", "2612011,山田 太郎,,9:00,17:00",
                "26121:,山田 太郎,,9:00,17:00", "260229,山田 太郎,,9:00,17:00", "280229,山田 太郎,,9:00,17:00"}),
             {"S04_SHIFT.csv:2: 日付「261232」", "S04_SHIFT.csv:3: 日付「26121」", "S04_SHIFT.csv:4: 日付「2612011」",
              "S04_SHIFT.csv:5: 日付「26121:」", "S04_SHIFT.csv:6: 日付「260229」"},
             1},
            {"times the board cannot show",
             p({"261201,山田 太郎,,24:00,9:00:00", "261202,山田 太郎,,9:60,009:00", "261203,山田 太郎,,9:5,:00",
                "261204,山田 太郎,,9:000,1:0a"}),
             {"S04_SHIFT.csv:2: 開始予定「24:00」", "S04_SHIFT.csv:2: 帰宅予定「9:00:00」",
              "S04_SHIFT.csv:3: 開始予定「9:60」", "S04_SHIFT.csv:3: 帰宅予定「009:00」",
              "S04_SHIFT.csv:4: 開始予定「9:5」", "S04_SHIFT.csv:4: 帰宅予定「:00」",
              "S04_SHIFT.csv:5: 開始予定「9:000」", "S04_SHIFT.csv:5: 帰宅予定「1:0a」"},
             1},
            {"no times",
             p({"261201,山田 太郎,,,"}),
             {"S04_SHIFT.csv:2: 注意: 開始予定が空", "S04_SHIFT.csv:2: 注意: 帰宅予定が空"},
             0},
            {"names",
             p({"261201,山田太郎,,9:00,17:00", "261201,,,9:00,17:00", ok, ok}),
             {"S04_SHIFT.csv:2: 氏名「山田太郎」はメンバーリストにありません", "S04_SHIFT.csv:3: 氏名が空",
              "S04_SHIFT.csv:5: 注意: 氏名「山田 太郎」はこの日の 4 行目にも"},
             1},
        },
        {"E99_member.csv"});
}

TEST(CheckShiftPlan, WithoutAMemberListNamesAreNotCheckedAndADayHas26Rows) {
    std::vector<std::string> lines = {"99999,12月"};
    for (int i = 1; i <= 27; ++i) {
        lines.push_back("261201,名" + std::to_string(i) + ",,9:00,17:00");
    }
    run_cases("S04_SHIFT.csv", {{"26 rows a day",
                                 lines_of(lines),
                                 {"S04_SHIFT.csv: 注意: メンバーリストがない", "S04_SHIFT.csv:28: 27 行目"},
                                 1}});
}

TEST(CheckRun, UsageAndInputsThatCannotBeChecked) {
    TempRoot root;
    root.write_bytes("E99_member.csv", lines_of(good_members));
    root.write_bytes("E99_usb.csv", lines_of(good_members));
    root.write_bytes("S04_SHIFT.csv", lines_of({"99999,12月", "261201,山田 太郎,,9:00,17:00"}));
    const auto at = [&](const std::string& n) { return (root.path() / n).string(); };
    EXPECT_EQ(run({"-x", at("E99_member.csv")}).status, 2);
    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"--members"}).status, 2);
    EXPECT_EQ(run({"--", "--help"}).status, 2); // a file named --help: neither list nor plan
    EXPECT_EQ(run({at("member.csv")}).status, 2);
    EXPECT_EQ(run({at("E99_member.csv"), at("E99_usb.csv"), at("S04_SHIFT.csv")}).status, 2);
    expect_problems(run({"--members", at("E99_usb.csv"), at("E99_member.csv"), at("S04_SHIFT.csv")}, root.path()), {},
                    0);
    EXPECT_EQ(run({at("S04_SHIFT.csv"), "--members", at("E99_usb.csv")}).status, 0);
    expect_problems(run({"--members=" + at("E99_usb.csv"), at("xE99_member.csv")}, root.path()),
                    {"xE99_member.csv: 開けません"}, 1);
    expect_problems(run({"--", at("S7_SHIFT.csv")}, root.path()), {"S7_SHIFT.csv: 開けません"}, 1);

    // A FIFO without a writer would block a plain open; a folder and an oversized file are not read.
    ASSERT_EQ(::mkfifo(at("E99_fifo.csv").c_str(), 0600), 0);
    fs::create_directory(root.path() / "E99_dir.csv");
    root.write_bytes("E99_big.csv", "");
    fs::resize_file(root.path() / "E99_big.csv", (std::uintmax_t{16} << 20) + 1);
    root.write_bytes("E99_most.csv", "");
    fs::resize_file(root.path() / "E99_most.csv", std::uintmax_t{16} << 20);
    const Outcome most = run({at("E99_most.csv")});
    ASSERT_FALSE(most.lines.empty());
    EXPECT_EQ(most.lines[0].find("大きすぎます"), std::string::npos) << most.lines[0];
    expect_problems(run({at("E99_fifo.csv"), at("E99_dir.csv"), at("E99_big.csv")}, root.path()),
                    {"E99_fifo.csv: 通常のファイルではありません", "E99_dir.csv: 通常のファイルではありません",
                     "E99_big.csv: 大きすぎます"},
                    1);
}

} // namespace
