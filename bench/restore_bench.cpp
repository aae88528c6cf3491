// The day restore over a log of many years: 1,000,000 lines, a few dozen members, many business days.
// Prints the restore's time beside `wc -l` on the same file.
#include "BenchTiming.h"

#include "board/Board.h"
#include "board/DayRestore.h"
#include "board/ElapsedTime.h"
#include "core/Cp932.h"
#include "core/TimeText.h"
#include "stamping/LogLine.h"

#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int members = 40;

std::string member_name(int m) {
    static const char* family[] = {"佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "山本", "中村"};
    static const char* given[] = {"花子", "一郎", "美咲", "健太", "さくら"};
    return std::string(family[m % 8]) + " " + given[m % 5] + std::to_string(m);
}

// Each member works one stay a day; the last day is the day the restore runs in.
DateTime write_log(const fs::path& path, int total_lines) {
    std::ofstream out(path, std::ios::binary);
    const int days = total_lines / (2 * members);
    DateTime day{2026, 12, 8, 0, 0, 0};
    day = day.plus_millis(-static_cast<std::int64_t>(days - 1) * 86'400'000LL);
    int written = 0;
    for (int d = 0; d < days && written < total_lines; ++d) {
        for (int m = 0; m < members; ++m) {
            const DateTime in = day.plus_millis((6LL * 3600 + m * 600LL) * 1000);
            const DateTime leave = in.plus_millis(8LL * 3600 * 1000);
            const std::string idm = "01" + std::to_string(100000 + m) + "ABCDEF";
            out << cp932::from_utf8(
                       log_line("T01", in, std::to_string(100 + m), member_name(m), 1, "9:00", "17:00", idm))
                << "\r\n";
            out << cp932::from_utf8(
                       log_line("T01", leave, std::to_string(100 + m), member_name(m), 2, "9:00", "17:00", idm))
                << "\r\n";
            written += 2;
        }
        day = day.plus_millis(86'400'000LL);
    }
    return day.plus_millis(-86'400'000LL + 12LL * 3600 * 1000); // noon of the last day
}

int rows_used(const BoardState& board) {
    int n = 0;
    while (n < board_rows && !board.rows[static_cast<std::size_t>(n)].name.empty()) {
        ++n;
    }
    return n;
}

} // namespace

// Optional argument: the number of lines (1,000,000 unless given, for quick runs).
int main(int argc, char** argv) {
    const int total_lines = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
    const fs::path dir = fs::temp_directory_path() / ("restore_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path log = dir / "KLOG_T01.csv";
    const DateTime now = write_log(log, total_lines);

    int replayed = 0;
    BoardState board;
    const auto restore = [&] {
        board.clear();
        replayed = replay_log(board, log, business_day_start(now));
        update_elapsed(board, now.seconds_of_day());
    };
    bench::time_wc(log, 2); // the file in the page cache for both
    const auto wc = bench::time_wc(log, 7);
    const auto rs = bench::time_runs(7, restore);
    const std::string what = "day restore, " + std::to_string(total_lines) + "-line log (replay + update_elapsed)";
    bench::print_compare(what.c_str(), rs.median_ms, "ms", "wc -l on the same file", wc.median_ms, "ms");
    std::printf("# restore: log of %d lines, %.1f MB, restore at %d/%d/%d 12:00; median of 7 runs, best %.1f ms "
                "(wc -l %.1f ms); stamps replayed: %d; rows used: %d\n",
                total_lines, static_cast<double>(fs::file_size(log)) / 1e6, now.year, now.month, now.day, rs.best_ms,
                wc.best_ms, replayed, rows_used(board));
    fs::remove_all(dir);
    return 0;
}
