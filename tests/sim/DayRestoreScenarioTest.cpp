#include "core/Cp932.h"
#include "support/SimRun.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

namespace {

void write_store(const TempRoot& root) {
    root.write_bytes("zerbanto/action01.txt", cp932_lines({"会社名= Corvale", "店舗CD = T01", "店舗名 = 第一店"}));
    root.write_bytes("zerbanto/E99_member.csv",
                     cp932_lines({"99999,2026/03/01", "1,佐藤,A", "", "2,鈴木,B", "3,高橋,C", "4,伊藤,D"}));
}

// A log of several days around the start of the business day of 5 March, up to the business day of 6 March
// when whole.
std::string write_log(const TempRoot& root, const std::string& middle = {}, bool whole = true) {
    std::string bytes =
        cp932_lines({"T01,2026/3/3 9:00,1,佐藤,1,,,A", "T01,2026/3/4 23:00,1,佐藤,1,,,A",
                     "T01,2026/3/5 4:59,1,佐藤,2,,,A", "T01,2026/3/5 5:00,2,鈴木,1,,,B",
                     "T01,2026/3/5 10:00,3,高橋,1,,,C"}) +
        middle + cp932_lines({"T01,2026/3/5 14:00,3,高橋,2,,,C", "T01,2026/3/5 22:00,4,伊藤,1,,,D"}) +
        (whole ? cp932_lines({"T01,2026/3/6 4:59,2,鈴木,1,,,B", "T01,2026/3/6 5:00,3,高橋,1,,,C"}) : std::string());
    root.write_bytes("zerbanto/KLOG_T01.csv", bytes);
    return bytes;
}

std::vector<std::string> names(const nlohmann::json& state) {
    std::vector<std::string> out;
    for (const auto& row : state["board"]) {
        if (row["Cast"]["text"].get<std::string>().empty()) {
            break;
        }
        out.push_back(row["Cast"]["text"]);
    }
    return out;
}

const nlohmann::json& cell(const nlohmann::json& state, int row, const char* col) {
    return state["board"][row][col];
}

TEST(DayRestoreScenario, RestartBeforeFiveRebuildsYesterdaysBusinessDay) {
    TempRoot root;
    write_store(root);
    write_log(root, {}, false);
    root.write_bytes("zerbanto/KLOG_T01.csv",
                     root.read_bytes("zerbanto/KLOG_T01.csv") + cp932_lines({"T01,2026/3/6 4:20,2,鈴木,2,,,B"}));
    const SimRun run = run_sim(root.path(), "time 2026-03-06 04:30:00\nstart\nshow\n");
    ASSERT_EQ(run.status, 0) << run.stderr_text;
    const auto s = run.last_state();
    // 佐藤's stamps before 5 March 5:00 belong to earlier business days.
    EXPECT_EQ(names(s), (std::vector<std::string>{"鈴木", "高橋", "伊藤"}));
    EXPECT_EQ(cell(s, 0, "Cast")["back"], "#C0C0C0"); // out after midnight, still the same business day
    EXPECT_EQ(cell(s, 0, "TT")["text"], "0:00");      // a replayed stay adds the "0:00" its shift-in left
    EXPECT_EQ(cell(s, 1, "Cast")["back"], "#C0C0C0");
    EXPECT_EQ(cell(s, 2, "Cast")["back"], "#00FFFF");
    EXPECT_EQ(cell(s, 2, "iT")["text"], "22:00");
    EXPECT_EQ(cell(s, 2, "ET")["text"], "6:30"); // refreshed once, across midnight
    EXPECT_EQ(cell(s, 2, "ET")["back"], "#FF8080");
    EXPECT_EQ(s["board"].size(), 26U);
    EXPECT_EQ(s["labels"]["lbl_member_date"]["text"], "2026/03/01");
    // The empty line of the member list takes no slot.
    EXPECT_EQ(s["members"],
              (nlohmann::json{{"1", "佐藤", "A"}, {"2", "鈴木", "B"}, {"3", "高橋", "C"}, {"4", "伊藤", "D"}}));
}

TEST(DayRestoreScenario, RestartAtFiveStartsFromToday) {
    TempRoot root;
    write_store(root);
    write_log(root);
    const SimRun run = run_sim(root.path(), "time 2026-03-06 05:00:00\nstart\nshow\n");
    ASSERT_EQ(run.status, 0) << run.stderr_text;
    const auto s = run.last_state();
    EXPECT_EQ(names(s), (std::vector<std::string>{"高橋"}));
    EXPECT_EQ(cell(s, 0, "ET")["text"], "0:00");
    EXPECT_EQ(cell(s, 0, "ET")["back"], "#FFE0C0");
    EXPECT_TRUE(s["Timer1"]);
}

TEST(DayRestoreScenario, DamagedLinesInTheMiddleAreSkipped) {
    TempRoot root;
    write_store(root);
    write_log(root,
              "\r\nT01,2026/3/5 11:00,9\r\nT01,2026/3/5 1x:00,9,誰,1,,,X\r\n" +
                  std::string("T01,2026/3/5 12:00,9,\x82\xff,1,,,X\r\n"),
              false);
    const SimRun run = run_sim(root.path(), "time 2026-03-05 23:00:00\nstart\nshow\n");
    ASSERT_EQ(run.status, 0) << run.stderr_text;
    const auto s = run.last_state();
    EXPECT_EQ(names(s), (std::vector<std::string>{"鈴木", "高橋", "伊藤"}));
    EXPECT_EQ(cell(s, 1, "Cast")["back"], "#C0C0C0"); // the shift-out after the damage was replayed
    EXPECT_EQ(cell(s, 2, "ET")["text"], "1:00");
    EXPECT_TRUE(run.of("message").empty());
}

TEST(DayRestoreScenario, MissingMemberListEndsTheProgram) {
    TempRoot root;
    root.write_bytes("zerbanto/action01.txt", cp932_lines({"店舗CD = T01"}));
    const std::string log = write_log(root);
    const SimRun run = run_sim(root.path(), "time 2026-03-06 09:00:00\nstart\nshow\n");
    ASSERT_EQ(run.events.size(), 2U) << run.stderr_text;
    EXPECT_EQ(run.events[0]["event"], "message");
    EXPECT_EQ(run.events[0]["icon"], "critical");
    EXPECT_EQ(run.events[0]["text"], "従業員リスト\nC:\\Zerbanto\\E99_member.csv が見当たりません");
    EXPECT_EQ(run.events[1]["event"], "end");
    EXPECT_FALSE(run.events[1]["upload"]);
    // The log is left as it was: nothing appended, nothing cut.
    EXPECT_EQ(root.read_bytes("zerbanto/KLOG_T01.csv"), log);
}

} // namespace
