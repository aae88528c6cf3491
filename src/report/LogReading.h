#pragma once

#include "report/StampCollector.h"

#include <cstddef>
#include <filesystem>
#include <vector>

// A file or a line of one that could not be read.
struct ReadTrouble {
    std::filesystem::path file;
    std::size_t line = 0; // 0: the file itself
    LineKind kind = LineKind::Unreadable;
};

// The stamps of the files, read on up to `threads` threads, each reading a run of consecutive files: the result
// is the one a single collector reading the files in order would give. Troubles in the order of the files.
struct LogReading {
    StampCollector collector;
    std::vector<ReadTrouble> troubles;
};

[[nodiscard]] LogReading read_logs(const std::vector<std::filesystem::path>& files, const StampFilter& filter,
                                   unsigned threads);
