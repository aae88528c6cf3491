#pragma once

#include "board/BoardState.h"

// Recomputes the continuous and cumulative times of the members on shift as of now (seconds since
// midnight) and marks the long stays (from 4 hours, from 6 hours).
void update_elapsed(BoardState& board, int now_seconds_of_day);
