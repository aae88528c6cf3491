#pragma once

#include "core/Result.h"

struct RecorderState;

// Replays the stamps of the current business day from the attendance log onto the board, refreshes the
// times once and leaves the log open for appending. A line it cannot read is skipped; the replay goes on.
// The error number when the log cannot be opened again.
[[nodiscard]] Status restore_board(RecorderState& s);
