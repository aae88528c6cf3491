#include "support/FtpTestServer.h"
#include "support/SimRun.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>

namespace fs = std::filesystem;

namespace {

void put_on_server(const FtpTestServer& server, const std::string& name, const std::string& bytes) {
    std::ofstream(server.sub() / name, std::ios::binary) << bytes;
}

std::vector<std::string> connected(const FtpTestServer& server) {
    return {"--server", "127.0.0.1", "--ftp-port", std::to_string(server.port())};
}

} // namespace

// A connected day: the member list and the plan of the store are fetched at start-up, the plan is shown on
// the board, stamps carry its planned times, and the exit button uploads the day's log to the head office.
TEST(HeadOfficeScenario, StartUpFetchesThePlanAndTheExitUploadsTheLog) {
    FtpTestServer server;
    ASSERT_GT(server.port(), 0);
    // The head office's list knows 佐藤一郎, whom the list on disk does not yet.
    put_on_server(server, "E99_member.csv",
                  cp932_lines({"99999,2016/12/08", "101,山田花子,012E4C1B3A5F6D7E", "102,佐藤一郎さんだ,0101AB"}));
    put_on_server(server, "S01_SHIFT.csv",
                  cp932_lines({"99999,12月8日(木)の予定", "161208,山田花子,x,9:00,18:00",
                               "161208,佐藤一郎さんだ,x,12:30,21:00", "161209,明日の人,x,9:00,18:00"}));
    TempRoot root;
    root.write_bytes("zerbanto/action01.txt", cp932_lines({"会社名= Corvale", "店舗CD = T01", "店舗名 = 第一店",
                                                           "F転送= 12:15", "F転送= 01:30"}));
    root.write_bytes("zerbanto/E99_member.csv", cp932_lines({"101,山田花子,012E4C1B3A5F6D7E"}));

    const SimRun run = run_sim(root.path(),
                               "time 2016-12-08 08:59:00\n"
                               "start\n"
                               "wait 2s\n"
                               "show\n"
                               "wait 58s\n"
                               "tap 012E4C1B3A5F6D7E\n"
                               "wait 3h30m\n"
                               "tap 0101AB\n"
                               "wait 5s\n"
                               "click cmd_Func\n",
                               connected(server));
    ASSERT_EQ(run.status, 0) << run.stderr_text;
    const auto state = run.last_state();
    EXPECT_EQ(state["labels"]["lbl_type"]["text"], "127.0.0.1");
    EXPECT_EQ(state["labels"]["lbl_shift"]["text"], "12月8日(木)の予定");
    EXPECT_EQ(state["board"][0]["ST"]["text"], "9:00");
    EXPECT_EQ(state["board"][0]["Cast"]["text"], "山田花子");
    EXPECT_EQ(state["board"][0]["Cast"]["pt"], 20);
    EXPECT_EQ(state["board"][1]["Cast"]["text"], "佐藤一郎さんだ");
    EXPECT_EQ(state["board"][1]["Cast"]["pt"], 18);
    EXPECT_EQ(state["board"][1]["KT"]["text"], "21:00");
    EXPECT_NE(state["board"][2]["Cast"]["text"], "明日の人");

    const auto ends = run.of("end");
    ASSERT_EQ(ends.size(), 1U);
    EXPECT_EQ(ends[0]["upload"], true);
    // Both stamps carry the planned times of their rows; the new member was found without a question.
    const std::string log = root.read_bytes("zerbanto/KLOG_T01.csv");
    EXPECT_EQ(log, cp932_lines({"T01,2016/12/8 9:00,101,山田花子,1,9:00,18:00,012E4C1B3A5F6D7E",
                                "T01,2016/12/8 12:30,102,佐藤一郎さんだ,1,12:30,21:00,0101AB"}));
    EXPECT_TRUE(run.of("dialog").empty());
    const fs::path uploaded = server.sub() / "K01_161208_1230.CSV";
    ASSERT_TRUE(fs::exists(uploaded));
    EXPECT_EQ(file_bytes(uploaded), log);
    EXPECT_TRUE(fs::is_empty(root.path() / "cortmp"));
    EXPECT_TRUE(run.of("message").empty());
}

// Connected without a settings file: the store setup is shown until a file is written, and the store chosen
// there decides which plan is fetched.
TEST(HeadOfficeScenario, StoreSetupChoosesTheStoreWhosePlanIsFetched) {
    FtpTestServer server;
    ASSERT_GT(server.port(), 0);
    put_on_server(server, "S04_SHIFT.csv", cp932_lines({"99999,第四店の予定", "161208,四店の人,x,10:00,19:00"}));
    TempRoot root;
    root.write_bytes("zerbanto/E99_member.csv", cp932_lines({"101,山田花子,012E4C1B3A5F6D7E"}));

    const SimRun run = run_sim(root.path(),
                               "time 2016-12-08 09:00:00\n"
                               "setup close\n"
                               "setup 第四店\n"
                               "start\n"
                               "show\n",
                               connected(server));
    ASSERT_EQ(run.status, 0) << run.stderr_text;
    const auto dialogs = run.of("dialog");
    ASSERT_EQ(dialogs.size(), 2U);
    EXPECT_TRUE(dialogs[0]["text"].is_null());
    EXPECT_EQ(dialogs[1]["text"], "第四店");
    EXPECT_EQ(root.read_bytes("zerbanto/action01.txt"),
              cp932_lines({"会社名= Corvale", "店舗CD = T04", "店舗名 = 第四店", "F転送= 12:15", "F転送= 01:30"}));
    const auto state = run.last_state();
    EXPECT_EQ(state["labels"]["lbl_MiseID"]["text"], "T04");
    EXPECT_EQ(state["labels"]["lbl_company"]["text"], "Corvale");
    EXPECT_EQ(state["tensou_time"][0], "12:15:00");
    EXPECT_EQ(state["tensou_time"][1], "1:30:00");
    EXPECT_EQ(state["labels"]["lbl_shift"]["text"], "第四店の予定");
    EXPECT_EQ(state["board"][0]["Cast"]["text"], "四店の人");
}

// A server that takes the connection and never answers holds up neither start-up nor exit; the day's copy
// waits in the outbox.
TEST(HeadOfficeScenario, ASilentServerHoldsUpNeitherStartUpNorExit) {
    FtpTestServer::Setup silent;
    silent.mode = "silent";
    FtpTestServer server(silent);
    ASSERT_GT(server.port(), 0);
    TempRoot root;
    root.write_bytes("zerbanto/action01.txt", cp932_lines({"会社名= Corvale", "店舗CD = T01", "店舗名 = 第一店"}));
    root.write_bytes("zerbanto/E99_member.csv", cp932_lines({"101,山田花子,012E4C1B3A5F6D7E"}));
    root.write_bytes("zerbanto/S01_SHIFT.csv", cp932_lines({"99999,前回の予定"}));
    auto args = connected(server);
    args.insert(args.end(), {"--ftp-connect-timeout", "1", "--ftp-stall-timeout", "1"});

    const auto start = std::chrono::steady_clock::now();
    const SimRun run = run_sim(root.path(), "time 2016-12-08 09:00:00\nstart\nshow\nclick cmd_Func\n", args);
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("[ measured ] start-up and exit against a silent server: %.2f s\n", took);
    ASSERT_EQ(run.status, 0) << run.stderr_text;
    EXPECT_LT(took, 10);
    EXPECT_EQ(run.last_state()["labels"]["lbl_shift"]["text"], "前回の予定");
    ASSERT_EQ(run.of("end").size(), 1U);
    EXPECT_TRUE(fs::exists(root.path() / "cortmp" / "K01_161208_0900.CSV"));
}
