// timerecorder-report on generated logs, each beside `wc -l` on the same files in the same run:
// - a year of a 40-member store (one log, about 58,000 lines);
// - a chain's month: 500 stores of 40 members (2.4 million stamps), each store's log in the three overlapping
//   upload copies the head office receives after 10, 20 and 30 days, all in one folder.
// Every member works two stays a day (four stamps), one of them in the evening. The report runs as its own
// process (CSV to /dev/null); its peak RSS comes from wait4. Usage: report_bench [runs] [stores]
#include "BenchTiming.h"

#include "core/Cp932.h"

#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int members = 40;

const char* const family[] = {"佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "山本", "中村", "小林", "加藤"};

struct Process {
    double ms = 0;
    double cpu_ms = 0; // user + system: what the machine's other load does not inflate
    double rss_mb = 0;
};

// Runs the program with its output to /dev/null; wall time and peak RSS.
Process run(const std::vector<std::string>& argv) {
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        std::vector<char*> args;
        for (const auto& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    rusage use{};
    ::wait4(pid, &status, 0, &use);
    const auto t1 = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s ended with status %d\n", argv[0].c_str(), status);
    }
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    return {std::chrono::duration<double, std::milli>(t1 - t0).count(), ms(use.ru_utime) + ms(use.ru_stime),
            static_cast<double>(use.ru_maxrss) / 1024.0};
}

Process best_of(int runs, const std::vector<std::string>& argv) {
    Process best{1e300, 1e300, 0};
    for (int i = 0; i < runs; ++i) {
        const Process p = run(argv);
        best.ms = std::min(best.ms, p.ms);
        best.cpu_ms = std::min(best.cpu_ms, p.cpu_ms);
        best.rss_mb = std::max(best.rss_mb, p.rss_mb);
    }
    return best;
}

// One store's log, day by day; day_ends[d] is the size of the log after day d.
std::string store_log(const std::string& store, int first_day_of_year, int days, std::vector<std::size_t>& day_ends) {
    std::vector<std::string> names;
    for (int m = 0; m < members; ++m) {
        names.push_back(cp932::from_utf8(std::string(family[m % 10]) + " " + std::to_string(m + 1)));
    }
    std::string log;
    char line[160];
    for (int d = 0; d < days; ++d) {
        const int day = first_day_of_year + d;
        int month = 1, dom = day;
        static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        while (dom > lengths[month - 1]) {
            dom -= lengths[month - 1];
            ++month;
        }
        for (int m = 0; m < members; ++m) {
            const int in1 = 8 * 60 + (m * 7 + d) % 120, out1 = in1 + 240, in2 = out1 + 45, out2 = in2 + 200 + m % 60;
            for (int s = 0; s < 4; ++s) {
                const int at = s == 0 ? in1 : s == 1 ? out1 : s == 2 ? in2 : out2;
                const int n =
                    std::snprintf(line, sizeof line, "%s,2026/%d/%d %d:%02d,%d,%s,%d,9:00,18:00,01FE%012d\r\n",
                                  store.c_str(), month, dom, at / 60, at % 60, 100 + m, names[m].c_str(), s % 2 + 1, m);
                log.append(line, static_cast<std::size_t>(n));
            }
        }
        day_ends.push_back(log.size());
    }
    return log;
}

void write(const fs::path& p, std::string_view bytes) {
    std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void compare(const char* what, const std::vector<std::string>& files, const std::vector<std::string>& report_args,
             int runs, long lines) {
    std::vector<std::string> wc = {"wc", "-l"};
    wc.insert(wc.end(), files.begin(), files.end());
    std::vector<std::string> rep = {TR_REPORT_BINARY, "--output", "/dev/null"};
    rep.insert(rep.end(), report_args.begin(), report_args.end());
    run(wc); // into the page cache
    const Process w = best_of(runs, wc);
    const Process r = best_of(runs, rep);
    bench::print_compare(what, r.ms, "ms", "wc -l on the same files", w.ms, "ms");
    bench::print_compare((std::string(what) + ", CPU time").c_str(), r.cpu_ms, "ms", "wc -l, CPU time", w.cpu_ms, "ms");
    std::printf("# %s: %zu files, %ld lines; report peak RSS %s MB (wc -l %s MB); best of %d\n", what, files.size(),
                lines, bench::figure(r.rss_mb).c_str(), bench::figure(w.rss_mb).c_str(), runs);
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 3;
    const int stores = argc > 2 ? std::atoi(argv[2]) : 500;
    std::string pattern = (fs::temp_directory_path() / "report-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        return 1;
    }
    const fs::path dir = pattern;

    std::vector<std::size_t> ends;
    const std::string year = store_log("T01", 1, 365, ends);
    write(dir / "KLOG_T01.csv", year);
    std::printf(
        "| work | figure | reference (same run) | reference figure | work / reference |\n|---|---|---|---|---|\n");
    compare("report, a year of a 40-member store", {(dir / "KLOG_T01.csv").string()}, {(dir / "KLOG_T01.csv").string()},
            runs, static_cast<long>(365 * members * 4));

    const fs::path office = dir / "office";
    fs::create_directories(office);
    std::vector<std::string> all, whole;
    for (int s = 0; s < stores; ++s) {
        char code[16], two[16];
        std::snprintf(code, sizeof code, "S%03d", s);
        std::snprintf(two, sizeof two, "%02d", s % 100);
        ends.clear();
        const std::string log = store_log(code, 305, 30, ends); // November
        for (int after : {10, 20, 30}) {
            char name[64];
            // Stores that share their last two characters upload at different minutes.
            std::snprintf(name, sizeof name, "K%s_2611%02d_%02d%02d.CSV", two, after, 20 + s / 100, s % 60);
            write(office / name, std::string_view(log).substr(0, ends[static_cast<std::size_t>(after - 1)]));
            all.push_back((office / name).string());
            if (after == 30) {
                whole.push_back((office / name).string());
            }
        }
    }
    const long chain_lines = static_cast<long>(stores) * members * 4 * 60;
    compare("report, a chain's month: 500 stores, 3 copies each", all, {office.string()}, runs, chain_lines);
    compare("report, the same month: the 30-day copies only", whole, whole, runs, chain_lines / 2);
    if (std::getenv("REPORT_BENCH_KEEP") != nullptr) {
        std::printf("# files kept in %s\n", dir.c_str());
    } else {
        fs::remove_all(dir);
    }
    return 0;
}
