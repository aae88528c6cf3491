// The simulator's script words and durations.
#include "FuzzRoot.h"
#include "sim/ScriptLine.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const ScriptLine parsed = split_script_line(line);
    fuzz_check(parsed.error.empty() || parsed.words.empty(), "a line in error has no words");
    std::size_t chars = 0;
    for (const auto& word : parsed.words) {
        chars += word.size();
        if (const auto ms = parse_duration(word)) {
            fuzz_check(*ms >= 0 && *ms <= 366LL * 86'400'000, "a duration is at most a year");
        }
    }
    fuzz_check(chars <= size, "the words are parts of the line");
    (void)parse_duration(line);
    return 0;
}
