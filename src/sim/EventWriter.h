#pragma once

#include <nlohmann/json.hpp>

#include <ostream>

// Writes the simulator's events as JSON Lines, each object's first key "event", flushed at once so that a
// reader sees every event even when the run is killed.
class EventWriter {
public:
    explicit EventWriter(std::ostream& out) : out_(out) {}
    void write(const nlohmann::ordered_json& event);

private:
    std::ostream& out_;
};

// A script error: the simulator prints an error event and exits with status 2. Not a std::exception, so
// that no handler of the recorder's own mistakes it for a failure of the recorder.
struct ScriptError {
    std::string text;
};
