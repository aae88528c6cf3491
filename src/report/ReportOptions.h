#pragma once

#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

// What timerecorder-report is asked for on its command line.
struct ReportOptions {
    enum class Format { Csv, Html, Payroll };
    enum class Encoding { Cp932, Utf8 };

    std::vector<std::filesystem::path> inputs;
    std::optional<std::filesystem::path> members;
    std::optional<std::filesystem::path> output;
    std::vector<std::filesystem::path> corrections;            // journals of corrections, applied in order
    std::optional<std::filesystem::path> corrections_template; // a journal to complete, one line an anomaly
    // The business days reported, both included.
    std::int64_t first_day = std::numeric_limits<std::int32_t>::min();
    std::int64_t last_day = std::numeric_limits<std::int32_t>::max();
    std::optional<std::string> store;  // UTF-8
    std::optional<std::string> member; // UTF-8
    Format format = Format::Csv;
    Encoding encoding = Encoding::Cp932;
    int week_start = 0;         // 0 Sunday to 6 Saturday
    bool decimal_hours = false; // payroll: hours as 8.25 rather than 8:15
    bool round_monthly = false; // payroll: the month's overtime and night totals to the hour
    bool help = false;
};

// The options, or the reason they are not usable (a usage error, in Japanese).
struct ReportOptionsResult {
    ReportOptions options;
    std::string error;
};

[[nodiscard]] ReportOptionsResult parse_report_options(const std::vector<std::string>& args);
[[nodiscard]] std::string report_usage_text();
