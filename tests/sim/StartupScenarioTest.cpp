#include "support/SimRun.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

namespace {

// A store with a settings file and a one-member list, so that start-up has what it needs.
void write_store(const TempRoot& root) {
    root.write_bytes("zerbanto/action01.txt",
                     cp932_lines({"会社名= Corvale", "店舗CD = T01", "店舗名 = 第一店", "F転送= 12:15"}));
    root.write_bytes("zerbanto/E99_member.csv", cp932_lines({"123,山田 花子,012E4C1B3A5F6D7E"}));
}

std::string label(const nlohmann::json& state, const char* name) {
    return state["labels"][name]["text"];
}

} // namespace

TEST(StartupScenario, WindowComesUpRunsTheClockAndSwitchesModes) {
    TempRoot root;
    write_store(root);
    const SimRun run = run_sim(root.path(), R"(
time 2026-12-08 09:05:00
start
show
wait 1s
show
wait 2s
click cmd_OUT
show
click cmd_IN
show
)");
    ASSERT_EQ(run.status, 0) << run.stderr_text;
    const auto states = run.of("state");
    ASSERT_EQ(states.size(), 4U);
    // Right after start the clock shows the stopped state until the first tick.
    EXPECT_EQ(label(states[0], "lbl_Disp_time"), "停止中");
    EXPECT_EQ(states[0]["labels"]["lbl_Disp_time"]["fore"], "ButtonText");
    EXPECT_TRUE(states[0]["Timer1"]);
    EXPECT_EQ(label(states[0], "lbl_type"), "StandAlone");
    EXPECT_EQ(label(states[0], "lbl_MiseID"), "T01");
    EXPECT_EQ(label(states[0], "lbl_tenmei"), "第一店");
    EXPECT_EQ(states[0]["tensou_time"], (nlohmann::json{"12:15:00", "", ""}));
    EXPECT_EQ(label(states[1], "lbl_Disp_time"), "9:05:01");
    EXPECT_EQ(label(states[1], "lbl_disp_date"), "12月8日(火)");
    EXPECT_EQ(label(states[2], "lbl_Disp_time"), "9:05:03");
    EXPECT_EQ(states[2]["inout_mode"], 2);
    EXPECT_EQ(states[2]["labels"]["cmd_IN"]["back"], "#808080");
    EXPECT_EQ(states[2]["labels"]["cmd_OUT"]["back"], "#00FFFF");
    EXPECT_EQ(states[3]["inout_mode"], 1);
    EXPECT_EQ(states[3]["labels"]["cmd_IN"]["back"], "#00FFFF");
    // The hidden labels carry the background as their text colour.
    EXPECT_EQ(states[3]["labels"]["lbl_last_Idm"]["fore"], "#FFE0C0");
    EXPECT_EQ(states[3]["board"].size(), 26U);
    EXPECT_TRUE(std::filesystem::exists(root.zerbanto() / "KLOG_T01.csv")); // opened for appending at start-up
}

TEST(StartupScenario, WithoutSettingsTheDesignTextsStandAndTheLogIsT99s) {
    TempRoot root;
    root.write_bytes("zerbanto/E99_member.csv", cp932_lines({"1,a,b"}));
    const SimRun run = run_sim(root.path(), "time 2026-12-08 09:00:00\nstart\nshow\n");
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(label(run.last_state(), "lbl_MiseID"), "T99");
    EXPECT_EQ(label(run.last_state(), "lbl_tenmei"), "本店");
    EXPECT_TRUE(std::filesystem::exists(root.zerbanto() / "KLOG_T99.csv"));
}

TEST(StartupScenario, SecondStartTellsAndRestoresTheRunningCopy) {
    TempRoot root;
    write_store(root);
    const SimRun run = run_sim(root.path(), "time 2026-12-08 09:00:00\nstart\nsecond-start\nwait 1s\nshow\n");
    ASSERT_EQ(run.status, 0);
    const auto messages = run.of("message");
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0]["text"], "タイムレコーダーは既に起動しています。");
    EXPECT_EQ(messages[0]["icon"], "information");
    ASSERT_EQ(run.of("activate").size(), 1U);
    EXPECT_FALSE(run.of("activate")[0]["restored"]);
    EXPECT_EQ(label(run.last_state(), "lbl_Disp_time"), "9:00:01"); // the running copy goes on
}

TEST(StartupScenario, AnotherProcessHoldingTheRootKeepsASecondRecorderOut) {
    TempRoot root;
    write_store(root);
    // The first simulator stays alive, reading its script, while the second starts on the same root.
    const auto holder_out = root.path() / "holder.jsonl";
    const std::string first =
        std::string(TR_SIM_BINARY) + " --root '" + root.path().string() + "' > '" + holder_out.string() + "'";
    FILE* holder = ::popen(first.c_str(), "w");
    ASSERT_NE(holder, nullptr);
    std::fputs("time 2026-12-08 09:00:00\nstart\nshow\n", holder);
    std::fflush(holder);
    // Its state event says it is past its start and holds the root.
    for (int i = 0; i < 100 && root.read_bytes("holder.jsonl").find("\"state\"") == std::string::npos; ++i) {
        ::usleep(50'000);
    }
    const SimRun second = run_sim(root.path(), "time 2026-12-08 09:00:00\nstart\nshow\n");
    ::pclose(holder);
    ASSERT_EQ(second.of("message").size(), 1U);
    EXPECT_EQ(second.of("message")[0]["text"], "タイムレコーダーは既に起動しています。");
    ASSERT_EQ(second.of("end").size(), 1U);
    EXPECT_FALSE(second.of("end")[0]["upload"]);
    EXPECT_TRUE(second.of("state").empty()); // nothing runs after the end
}

TEST(StartupScenario, ExitButtonStopsTheClockAndEndsCloseEndsWithoutUpload) {
    TempRoot root;
    write_store(root);
    const SimRun exit_run = run_sim(root.path(), "time 2026-12-08 09:00:00\nstart\nwait 2s\nclick cmd_Func\nshow\n");
    ASSERT_EQ(exit_run.status, 0);
    ASSERT_EQ(exit_run.of("end").size(), 1U);
    EXPECT_TRUE(exit_run.of("end")[0]["upload"]);
    EXPECT_TRUE(exit_run.of("state").empty());
    const SimRun close_run = run_sim(root.path(), "time 2026-12-08 09:00:00\nstart\nclose\nwait 1s\n");
    ASSERT_EQ(close_run.of("end").size(), 1U);
    EXPECT_FALSE(close_run.of("end")[0]["upload"]);
}

TEST(StartupScenario, ScriptErrorsStopWithStatusTwo) {
    TempRoot root;
    write_store(root);
    for (const char* script :
         {"bogus\n", "start\ntime 2026-12-08 09:00:00\n", "time 2026-13-01 00:00:00\n",
          "time 2026-12-08 09:00:00\nstart\nwait 1x\n", "show\n", "click cmd_Nope\n", "answer maybe\n", "keypad 1 2\n",
          "drive EE /tmp\n", "start\nstart\n", "setup \"unclosed\n"}) {
        const SimRun run = run_sim(root.path(), script);
        EXPECT_EQ(run.status, 2) << script;
        ASSERT_FALSE(run.of("error").empty()) << script;
        EXPECT_FALSE(run.of("error").back()["text"].get<std::string>().empty());
    }
}

// A root that is not there (a data disk not mounted) is never made into an empty store, and a folder that
// cannot hold the files or the lock is refused before anything runs: one message naming it, then the end.
TEST(StartupScenario, RefusesAFolderItCannotUseAndNamesIt) {
    TempRoot root;
    const auto missing = root.path() / "disk";
    root.write_bytes("plain/zerbanto", "a file where the folder belongs");
    std::filesystem::create_directories(root.path() / "locked/zerbanto/.timerecorder.lock");
    const struct {
        std::filesystem::path root;
        std::string text;
    } cases[] = {
        {missing, "データのフォルダーがありません。\n" + missing.string()},
        {root.path() / "plain", "データのフォルダーを作成できません。\n" + (root.path() / "plain/zerbanto").string() +
                                    "\nフォルダーではないものがパスの途中にあります"},
        {root.path() / "locked",
         "ロックファイルを作成できません。\n" + (root.path() / "locked/zerbanto/.timerecorder.lock").string()},
    };
    for (const auto& c : cases) {
        // The later --root wins: the script itself lies in the test's folder.
        const SimRun run = run_sim(root.path(), "time 2026-12-08 09:00:00\nstart\nshow\n", {"--root", c.root.string()});
        EXPECT_EQ(run.status, 1) << c.text;
        const auto messages = run.of("message");
        ASSERT_EQ(messages.size(), 1U) << c.text;
        EXPECT_EQ(messages[0]["text"].get<std::string>().substr(0, c.text.size()), c.text);
        EXPECT_EQ(messages[0]["icon"], "critical");
        EXPECT_EQ(run.of("end").size(), 1U);
        EXPECT_TRUE(run.of("state").empty());
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
}

// The system folder and the outbox are their owner's alone, also when they were made open before, and a copy
// that a killed exit left half-written in the outbox is gone before anything could send it.
TEST(StartupScenario, FoldersBecomePrivateAndHalfCopiesAreRemoved) {
    namespace fs = std::filesystem;
    TempRoot root;
    write_store(root);
    root.write_bytes("cortmp/K01_261208_0900.CSV.tmp99999", "T01,2026/12/08 9:00");
    root.write_bytes("cortmp/K01_261207_2300.CSV", "whole");
    fs::permissions(root.zerbanto(), fs::perms(0755));
    fs::permissions(root.path() / "cortmp", fs::perms(0755));
    const SimRun run = run_sim(root.path(), "time 2026-12-08 09:00:00\nstart\nshow\n");
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(fs::status(root.zerbanto()).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::status(root.path() / "cortmp").permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_FALSE(fs::exists(root.path() / "cortmp/K01_261208_0900.CSV.tmp99999"));
    EXPECT_EQ(root.read_bytes("cortmp/K01_261207_2300.CSV"), "whole");
}
