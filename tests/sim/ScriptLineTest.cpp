#include "sim/ScriptLine.h"

#include <gtest/gtest.h>

TEST(ScriptLine, SplitsWordsWithQuotesAndSkipsComments) {
    EXPECT_EQ(split_script_line("  card 012E4C1B  ").words, (std::vector<std::string>{"card", "012E4C1B"}));
    EXPECT_EQ(split_script_line("card \"\"").words, (std::vector<std::string>{"card", ""}));
    EXPECT_EQ(split_script_line("setup \"第 一店\"\r").words, (std::vector<std::string>{"setup", "第 一店"}));
    EXPECT_TRUE(split_script_line("   # a comment").words.empty());
    EXPECT_TRUE(split_script_line("").words.empty());
    EXPECT_FALSE(split_script_line("setup \"open").error.empty());
}

TEST(ScriptLine, DurationsCombineUnits) {
    EXPECT_EQ(parse_duration("1s"), 1000);
    EXPECT_EQ(parse_duration("2h10m"), (2 * 60 + 10) * 60'000);
    EXPECT_EQ(parse_duration("1d"), 86'400'000);
    EXPECT_EQ(parse_duration("1m500ms"), 60'500);
    for (const char* bad : {"", "s", "1", "1x", "-1s", "1s2", "99999999999d"}) {
        EXPECT_EQ(parse_duration(bad), std::nullopt) << bad;
    }
}
