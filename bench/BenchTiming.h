#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

// Small helpers shared by the benchmarks: wall-clock timing of a piece of work and of `wc -l` on a file, and
// the table row every benchmark prints. Lines starting with '#' are notes beside the table.
namespace bench {

struct Timing {
    double best_ms = 0;
    double median_ms = 0;
};

template <class F> Timing time_runs(int runs, F&& work) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        work();
        const auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

// `wc -l` on the file, started through the shell as a user would; its output is discarded.
inline Timing time_wc(const std::filesystem::path& file, int runs) {
    const std::string cmd = "wc -l '" + file.string() + "' >/dev/null";
    return time_runs(runs, [&] {
        if (std::system(cmd.c_str()) != 0) {
            std::fprintf(stderr, "wc -l failed\n");
        }
    });
}

// Three significant digits without an exponent: 1234, 12.3, 0.00397.
inline std::string figure(double v) {
    char text[64];
    const int decimals = v >= 100 ? 0 : v >= 10 ? 1 : v >= 1 ? 2 : v >= 0.1 ? 3 : v >= 0.01 ? 4 : 5;
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

// One row of the benchmark table: a figure of the program beside its reference measured in the same run.
inline void print_compare(const char* what, double value, const char* unit, const char* reference, double ref_value,
                          const char* ref_unit) {
    std::printf("| %s | %s %s | %s | %s %s | %s |\n", what, figure(value).c_str(), unit, reference,
                figure(ref_value).c_str(), ref_unit, figure(ref_value > 0 ? value / ref_value : 0.0).c_str());
}

// The number of line feeds in a file.
inline long count_lines(const std::filesystem::path& file) {
    std::FILE* f = std::fopen(file.c_str(), "rb");
    long n = 0;
    for (int c = f ? std::fgetc(f) : EOF; c != EOF; c = std::fgetc(f)) {
        n += c == '\n' ? 1 : 0;
    }
    if (f) {
        std::fclose(f);
    }
    return n;
}

} // namespace bench
