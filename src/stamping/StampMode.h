#pragma once

// What the next stamp records: a shift-in or a shift-out, chosen with the mode buttons. The log and the
// last-read label carry it as its number.
enum class StampMode { ShiftIn = 1, ShiftOut = 2 };

// 1 for a shift-in, 2 for a shift-out: the mode field of a log line.
[[nodiscard]] constexpr int mode_number(StampMode m) {
    return static_cast<int>(m);
}
