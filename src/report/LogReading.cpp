#include "report/LogReading.h"

#include <algorithm>
#include <optional>
#include <thread>

namespace {

// Where each thread's run of files begins: runs of about the same number of bytes.
std::vector<std::size_t> runs_of(const std::vector<std::filesystem::path>& files, unsigned threads) {
    std::vector<std::uintmax_t> sizes;
    std::uintmax_t total = 0;
    for (const auto& f : files) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(f, ec);
        sizes.push_back(ec ? 0 : size);
        total += sizes.back();
    }
    std::vector<std::size_t> begin{0};
    std::uintmax_t so_far = 0;
    for (std::size_t i = 0; i < files.size() && begin.size() < threads; ++i) {
        so_far += sizes[i];
        if (so_far * threads >= total * begin.size() && i + 1 < files.size()) {
            begin.push_back(i + 1);
        }
    }
    begin.push_back(files.size());
    return begin;
}

LogReading read_run(const std::vector<std::filesystem::path>& files, std::size_t first, std::size_t end,
                    const StampFilter& filter) {
    std::vector<ReadTrouble> troubles;
    const auto unreadable = [&](const std::filesystem::path& file, std::size_t line, LineKind kind) {
        troubles.push_back(ReadTrouble{file, line, kind});
    };
    StampCollector collector(filter);
    for (std::size_t i = first; i < end; ++i) {
        if (!collector.read_file(files[i], unreadable)) {
            troubles.push_back(ReadTrouble{files[i], 0});
        }
    }
    return LogReading{std::move(collector), std::move(troubles)};
}

} // namespace

LogReading read_logs(const std::vector<std::filesystem::path>& files, const StampFilter& filter, unsigned threads) {
    const std::vector<std::size_t> begin = runs_of(files, std::max(1U, threads));
    std::vector<std::optional<LogReading>> parts(begin.size() - 1);
    {
        std::vector<std::jthread> workers;
        for (std::size_t t = 1; t < parts.size(); ++t) {
            workers.emplace_back([&, t] { parts[t].emplace(read_run(files, begin[t], begin[t + 1], filter)); });
        }
        parts[0].emplace(read_run(files, begin[0], begin[1], filter));
    }
    LogReading all = std::move(*parts[0]);
    for (std::size_t t = 1; t < parts.size(); ++t) {
        all.collector.append(std::move(parts[t]->collector));
        all.troubles.insert(all.troubles.end(), parts[t]->troubles.begin(), parts[t]->troubles.end());
    }
    return all;
}
