#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// What timerecorder-check is asked for on its command line.
struct CheckOptions {
    std::vector<std::filesystem::path> files;
    std::optional<std::filesystem::path> members; // the list the plans' names are checked against
    bool help = false;
};

// The options, or the reason they are not usable (a usage error, in Japanese).
struct CheckOptionsResult {
    CheckOptions options;
    std::string error;
};

[[nodiscard]] CheckOptionsResult parse_check_options(const std::vector<std::string>& args);
[[nodiscard]] std::string check_usage_text();
