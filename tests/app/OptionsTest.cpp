#include "app/Options.h"

#include <gtest/gtest.h>

TEST(Options, BothProgramsTakeTheConnectionOptions) {
    const auto r = parse_options({"--root", "/tmp/x", "--server=ho", "--ftp-port", "2121", "--debug-server", "d"},
                                 Program::Simulator);
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.options.root, "/tmp/x");
    EXPECT_EQ(r.options.server, "ho");
    EXPECT_EQ(r.options.ftp_port, 2121);
    EXPECT_EQ(r.options.debug_server, "d");
    const auto w = parse_options({"--demo", "--reader", "keyboard", "--sounds", "/s"}, Program::Window);
    ASSERT_EQ(w.error, "");
    EXPECT_TRUE(w.options.demo);
    EXPECT_EQ(w.options.reader, "keyboard");
    EXPECT_FALSE(w.options.root.empty()); // the default root
}

TEST(Options, BadOptionsGetAClearMessage) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--bogus"},
                                                                  {"--root"},
                                                                  {"--ftp-port", "0"},
                                                                  {"--ftp-port", "21x"},
                                                                  {"--ftp-port", "70000"},
                                                                  {"--reader", "nfc"},
                                                                  {"--root", ""}}) {
        EXPECT_NE(parse_options(args, Program::Window).error, "") << testing::PrintToString(args);
    }
    EXPECT_NE(parse_options({"--reader", "pcsc"}, Program::Simulator).error, ""); // window program only
}

TEST(Options, TheDemoRunsOnItsOwnFolderUnlessOneIsGiven) {
    for (const Program p : {Program::Window, Program::Simulator}) {
        const auto demo = parse_options({"--demo"}, p);
        ASSERT_EQ(demo.error, "");
        EXPECT_EQ(demo.options.root.filename(), "timerecorder-demo");
        EXPECT_EQ(parse_options({}, p).options.root.filename(), "timerecorder");
        EXPECT_EQ(parse_options({"--root", "/tmp/d", "--demo"}, p).options.root, "/tmp/d");
    }
}
