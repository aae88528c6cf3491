// Loading a member list of 10,001 lines (10,000 members and the date line) beside `wc -l` on the file.
#include "BenchTiming.h"

#include "core/Cp932.h"
#include "lists/MemberList.h"

#include <fstream>
#include <memory>
#include <unistd.h>

namespace fs = std::filesystem;

int main() {
    const fs::path dir = fs::temp_directory_path() / ("member_list_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path list = dir / "E99_member.csv";
    {
        std::ofstream out(list, std::ios::binary);
        out << "99999,2026/12/01\r\n";
        for (int i = 0; i < 10'000; ++i) {
            out << std::to_string(100000 + i) << cp932::from_utf8(",山田 花子" + std::to_string(i) + ",") << "012E4C1B"
                << std::to_string(10000000 + i) << "\r\n";
        }
    }
    auto table = std::make_unique<MemberTable>();
    std::string date;
    int loaded = 0;
    bench::time_wc(list, 2);
    const auto wc = bench::time_wc(list, 11);
    const auto load = bench::time_runs(11, [&] {
        if (!load_member_list(list, *table, date)) {
            std::fprintf(stderr, "load failed\n");
        }
        loaded = table->end_index();
    });
    bench::print_compare("member list, 10,001 lines (load_member_list)", load.median_ms, "ms", "wc -l on the same file",
                         wc.median_ms, "ms");
    std::printf("# member list: %.2f MB, median of 11 runs, best %.2f ms (wc -l %.2f ms); members loaded: %d; "
                "date: %s\n",
                static_cast<double>(fs::file_size(list)) / 1e6, load.best_ms, wc.best_ms, loaded, date.c_str());
    fs::remove_all(dir);
    return 0;
}
