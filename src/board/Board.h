#pragma once

#include "board/BoardState.h"
#include "core/FmMain.h"

#include <cstddef>
#include <optional>
#include <string_view>

// The attendance board's operations as the window sees them: each changes the board and then shows it.

// Puts one stamp on the board (BoardState::stamp) and shows the row used in lbl_disp_yy, empty when the board
// is full. Returns that row. Never lets a failure reach its caller.
std::optional<std::size_t> set_status(BoardState& board, FmMain& form, std::string_view name, int mode,
                                      std::string_view time);
// Empties all 26 rows and shows the stopped clock.
void clear_board(BoardState& board, FmMain& form);
// Empties the completed totals.
void clear_work_time(BoardState& board, FmMain& form);
// Shift-in mode: the polling timer on, the clock's colour back, cmd_IN highlighted, inout_mode 1.
void set_mode_in(FmMain& form, int& inout_mode);
// Shift-out mode, the twin of set_mode_in: cmd_OUT highlighted, inout_mode 2.
void set_mode_out(FmMain& form, int& inout_mode);
