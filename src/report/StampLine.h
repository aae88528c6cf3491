#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// One line of the attendance log as the recorder writes it, in the file's own bytes (code page 932): store,
// "yyyy/m/d h:mm", cast code, name, mode (1 in, 2 out), planned start, planned leave, IDm.
struct StampLine {
    std::string_view store;
    std::string_view code;
    std::string_view name;
    std::int64_t minute = 0;
    bool shift_in = true;
    std::optional<int> planned_start; // minutes of the day
    std::optional<int> planned_leave;
    // Fields the recorder never writes so, in a line that is still read: a planned time that is not "h:mm"
    // (taken as no plan) and an empty name (not taken as a name of the member).
    bool odd_plan = false;
    bool no_name = false;
};

// The line, or nullopt when it is not one the recorder writes: other than eight fields, an empty store or
// code, a date and time in another form, or a mode other than 1 or 2.
[[nodiscard]] std::optional<StampLine> parse_stamp_line(std::string_view raw);
