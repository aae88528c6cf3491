#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The log files a report reads: the files given, and in the folders given (and their subfolders) every file
// named as a log or one of its copies. Copies of one log overlap, each holding the lines of the earlier ones:
// a file whose bytes all stand at the start of another file adds nothing and is left out.
struct InputFiles {
    std::vector<std::filesystem::path> read;           // in the order they are to be read
    std::vector<std::filesystem::path> earlier_copies; // left out
    std::vector<std::string> errors;                   // paths that could not be read, in Japanese
    std::size_t found = 0;
};

[[nodiscard]] InputFiles gather_inputs(const std::vector<std::filesystem::path>& paths);

// KLOG_<store>.csv, or an upload or export copy K<cc>_<yymmdd>_<hhmm>.CSV, without regard to case.
[[nodiscard]] bool is_log_name(std::string_view file_name);

// Whether every byte of the first file stands at the start of the second; streams both.
[[nodiscard]] bool is_prefix_of(const std::filesystem::path& shorter, const std::filesystem::path& longer);
