#pragma once

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

// One run of the timerecorder-sim program: the exit status and the events it printed.
struct SimRun {
    int status = -1;
    std::vector<nlohmann::json> events;
    std::string stderr_text;

    // The events of one kind, in order.
    [[nodiscard]] std::vector<nlohmann::json> of(const std::string& kind) const;
    // The last state event (fails the test when there is none).
    [[nodiscard]] nlohmann::json last_state() const;
};

// While one lives, runs are not compared with their recorded output: their input depends on chance (a kill at
// a random moment, a seed given from outside).
class UnrecordedRuns {
public:
    UnrecordedRuns();
    ~UnrecordedRuns();
    UnrecordedRuns(const UnrecordedRuns&) = delete;
    UnrecordedRuns& operator=(const UnrecordedRuns&) = delete;
};

// Runs the simulator on the script with the root folder and further options.
[[nodiscard]] SimRun run_sim(const std::filesystem::path& root, const std::string& script,
                             const std::vector<std::string>& extra_args = {});
