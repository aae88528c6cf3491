#pragma once

#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

// A timerecorder-sim running in the background on a script file, whose events are read as they come, so that
// a test can kill it at any moment.
class SimProcess {
public:
    SimProcess(const std::filesystem::path& root, const std::filesystem::path& script,
               const std::vector<std::string>& extra_args = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The next event; nullopt at the end of the output, or when none came within the time limit.
    [[nodiscard]] std::optional<nlohmann::json> next_event(std::chrono::milliseconds limit);
    // Kills the program with SIGKILL and collects the events it printed before it died. True when the signal
    // ended it (it was still running).
    bool kill(std::vector<nlohmann::json>& rest);
    // Reads to the end of the output and waits; the exit status (-1 when a signal ended it).
    int wait(std::vector<nlohmann::json>& rest);

private:
    bool fill(std::chrono::milliseconds limit);
    void drain(std::vector<nlohmann::json>& rest);
    int reap();

    pid_t pid_ = -1;
    int out_fd_ = -1;
    std::string pending_;
    bool eof_ = false;
};
