#include "core/Cp932.h"
#include "support/SimRun.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string read_script(const char* name) {
    std::ifstream in(std::string(TR_TESTS_DIR) + "/scenarios/" + name);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> board_names(const nlohmann::json& state) {
    std::vector<std::string> out;
    for (const auto& row : state["board"]) {
        if (!row["Cast"]["text"].get<std::string>().empty()) {
            out.push_back(row["Cast"]["text"]);
        }
    }
    return out;
}

TEST(StampingDayScenario, AWholeDayOfStampsRegistrationTransferTimesAndTheReset) {
    TempRoot root;
    root.write_bytes("zerbanto/action01.txt",
                     cp932_lines({"会社名= Corvale", "店舗CD = T01", "店舗名 = 第一店", "F転送= 12:15"}));
    root.write_bytes("zerbanto/E99_member.csv", cp932_lines({"99999,2026/12/01", "123,山田 花子,012E4C1B3A5F6D7E",
                                                             "456,鈴木太郎,0101010101010101", "789,高橋,"}));
    const SimRun run = run_sim(root.path(), read_script("stamping_day.txt"));
    ASSERT_EQ(run.status, 0) << run.stderr_text;
    EXPECT_TRUE(run.of("error").empty());
    EXPECT_TRUE(run.of("message").empty());

    // Every stamp but the repeats of a lying card is in the log, in CP932 with CR LF.
    EXPECT_EQ(root.read_bytes("zerbanto/KLOG_T01.csv"),
              cp932_lines({"T01,2026/12/8 9:00,123,山田 花子,1,,,012E4C1B3A5F6D7E",
                           "T01,2026/12/8 9:00,456,鈴木太郎,1,,,0101010101010101",
                           "T01,2026/12/8 9:30,789,高橋,1,,,CAFEBABE00000001",
                           "T01,2026/12/8 12:14,789,高橋,2,,,CAFEBABE00000001",
                           "T01,2026/12/8 17:00,123,山田 花子,2,,,012E4C1B3A5F6D7E",
                           "T01,2026/12/9 2:00,456,鈴木太郎,2,,,0101010101010101",
                           "T01,2026/12/9 4:59,123,山田 花子,1,,,012E4C1B3A5F6D7E"}));

    const auto dialogs = run.of("dialog");
    ASSERT_EQ(dialogs.size(), 3U);
    EXPECT_EQ(dialogs[0]["name"], "UF_2");
    EXPECT_EQ(dialogs[0]["text"], "カード違い\n\nこのまま 一時的に登録しますか?");
    EXPECT_EQ(dialogs[0]["answer"], "yes");
    EXPECT_EQ(dialogs[1]["name"], "UF_10key");
    EXPECT_EQ(dialogs[1]["label"], " \n　　　　　　　　789");
    EXPECT_EQ(dialogs[2]["answer"], "timeout");

    const auto sounds = run.of("sound");
    EXPECT_EQ(std::count_if(sounds.begin(), sounds.end(), [](const auto& e) { return e["name"] == "chord"; }), 2);

    const auto states = run.of("state");
    ASSERT_EQ(states.size(), 4U);
    // 9:45: the registered card is in the member table, after the members of the list.
    EXPECT_EQ(states[0]["members"].back(), (nlohmann::json{"789", "高橋", "CAFEBABE00000001"}));
    EXPECT_EQ(states[0]["labels"]["lbl_Read_Name"]["text"], "");
    EXPECT_EQ(board_names(states[0]), (std::vector<std::string>{"山田 花子", "鈴木太郎", "高橋"}));
    // 12:14:30 in shift-out mode, 12:15:01 back in shift-in mode.
    EXPECT_EQ(states[1]["inout_mode"], 2);
    EXPECT_EQ(states[1]["board"][2]["Cast"]["back"], "#C0C0C0");
    EXPECT_EQ(states[2]["inout_mode"], 1);
    EXPECT_EQ(states[2]["labels"]["cmd_IN"]["back"], "#00FFFF");
    // 5:00:31: yesterday's board is gone; the card that lay across 5:00 stands alone on the new day's board.
    EXPECT_EQ(board_names(states[3]), std::vector<std::string>{"山田 花子"});
    EXPECT_EQ(states[3]["board"][0]["Cast"]["back"], "#00FFFF");
    EXPECT_EQ(states[3]["labels"]["lbl_Disp_time"]["text"], "5:00:31");
    EXPECT_EQ(states[3]["labels"]["lbl_last_time"]["text"], "5:00:30"); // read at every poll while it lay
}

} // namespace

namespace {

TEST(StampingDayScenario, AMissingReaderComponentEndsTheProgramWithItsMessage) {
    TempRoot root;
    root.write_bytes("zerbanto/E99_member.csv", cp932_lines({"123,山田 花子,012E4C1B3A5F6D7E"}));
    const SimRun run = run_sim(root.path(), R"(
time 2026-12-08 09:00:00
start
tap 012E4C1B3A5F6D7E
wait 2s
reader missing
wait 5s
show
)");
    ASSERT_EQ(run.status, 1) << run.stderr_text; // a program ended by a failure says so
    const auto messages = run.of("message");
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0]["icon"], "critical");
    EXPECT_EQ(messages[0]["text"], "'C:\\Zerbanto\\QuillSmartCard.dll がありません");
    ASSERT_EQ(run.of("end").size(), 1U);
    EXPECT_EQ(run.of("end")[0]["upload"], false);
    EXPECT_TRUE(run.of("state").empty()); // no command runs after the end
    // The stamp before the failure is in the log.
    EXPECT_EQ(root.read_bytes("zerbanto/KLOG_T99.csv"),
              cp932_lines({"T99,2026/12/8 9:00,123,山田 花子,1,,,012E4C1B3A5F6D7E"}));
}

} // namespace
