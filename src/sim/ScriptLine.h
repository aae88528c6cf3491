#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One line of a simulator script, split into words: blanks separate words, and a word in double quotes may
// hold blanks or be empty. Blank lines and comments give no words.
struct ScriptLine {
    std::vector<std::string> words;
    std::string error; // not empty: the line cannot be split (an unclosed quote)
};

[[nodiscard]] ScriptLine split_script_line(std::string_view line);

// A duration such as "1s", "2h10m", "1d", "250ms", in milliseconds.
[[nodiscard]] std::optional<std::int64_t> parse_duration(std::string_view text);
