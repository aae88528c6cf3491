#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

// Small helpers shared by the benchmarks: wall-clock timing of a piece of work and of `wc -l` on a file.
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

inline void print_row(const char* what, const Timing& t) {
    std::printf("| %-40s | %10.2f | %10.2f |\n", what, t.best_ms, t.median_ms);
}

inline void print_header() {
    std::printf("| %-40s | %10s | %10s |\n", "work", "best ms", "median ms");
    std::printf("|%s|%s|%s|\n", std::string(42, '-').c_str(), std::string(12, '-').c_str(),
                std::string(12, '-').c_str());
}

} // namespace bench
