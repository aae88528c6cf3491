#pragma once

#include "board/BoardState.h"
#include "core/DateTime.h"

#include <filesystem>

class FmMain;

// The start of the business day that now belongs to: 5:00:00 of today, or of yesterday before 5:00.
[[nodiscard]] DateTime business_day_start(const DateTime& now);

// The replay itself: every readable stamp of the log from day_start on goes onto the board as set_status would
// put it, in file order; then the board is shown, with the row of the last stamp in lbl_disp_yy. Streams the
// file; a missing or unreadable file replays nothing. Returns the number of stamps replayed.
int replay_log(BoardState& board, FmMain& form, const std::filesystem::path& log, const DateTime& day_start);
