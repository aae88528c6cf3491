#pragma once

#include <nlohmann/json.hpp>

class Recorder;

// The state event: the clock, the timer, the mode, the transfer times, the member table, every label and
// button outside the board, and the 26 board rows.
[[nodiscard]] nlohmann::ordered_json state_event(const Recorder& rec);
