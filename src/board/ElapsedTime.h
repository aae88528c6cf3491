#pragma once

#include "board/BoardState.h"
#include "core/FmMain.h"

// Recomputes the continuous and cumulative times of the members on shift as of now (seconds since
// midnight), marks the long stays (from 4 hours yellow, from 6 hours salmon) and shows the board.
void update_elapsed(BoardState& board, FmMain& form, int now_seconds_of_day);
