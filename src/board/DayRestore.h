#pragma once

#include "board/BoardState.h"
#include "core/DateTime.h"

#include <filesystem>

// The start of the business day that now belongs to: 5:00:00 of today, or of yesterday before 5:00.
[[nodiscard]] DateTime business_day_start(const DateTime& now);

// The replay itself: every readable stamp of the log from day_start on goes onto the board as
// put_stamp_on_board would put it, in file order; the row of the last one is the board's last stamp. Streams
// the file; a missing or unreadable file replays nothing. Returns the number of stamps replayed.
int replay_log(BoardState& board, const std::filesystem::path& log, const DateTime& day_start);
