#include "support/TempRoot.h"

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

// scripts/sim-demo.sh, the demo of scripts/run.sh on a machine without a display, on the simulator built here.
TEST(SimDemoScript, PrintsWhatTheCardTouchesDidAndCleansUp) {
    TempRoot tmp;
    const std::string command = "TMPDIR='" + tmp.path().string() +
                                "' bash '" TR_TESTS_DIR "/../scripts/sim-demo.sh' '" + TR_SIM_BINARY + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    std::array<char, 4096> block{};
    while (const std::size_t n = std::fread(block.data(), 1, block.size(), pipe)) {
        out.append(block.data(), n);
    }
    const int status = ::pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << out;

    for (const char* expected :
         {"1. 山田 花子 touches her card", "name shown: 山田 花子, last read: shift-in at 9:00:00",
          "question: カード違い", "keypad: 1 1 2 登録 (112)", "name shown: 佐々木 美由紀",
          "last read: shift-out at 14:00:24",
          "Attendance log KLOG_T01.csv (4 lines):", ",112,佐々木 美由紀,1,,,0139F2A8C4D1E7B6",
          ",102,佐藤 健,2,9:00,15:00,012E4C1B3A5F1001", "On the USB stick folder: usb-stick/Zerbanto/K01_"}) {
        EXPECT_NE(out.find(expected), std::string::npos) << expected << "\n" << out;
    }
    for (const auto& entry : fs::directory_iterator(tmp.path())) {
        EXPECT_EQ(entry.path().filename().string().rfind("timerecorder-demo", 0), std::string::npos)
            << "the demo's folder is left behind: " << entry.path();
    }
}
