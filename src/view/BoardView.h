#pragma once

#include "board/BoardState.h"
#include "stamping/StampMode.h"
#include "view/FmMain.h"

#include <cstddef>
#include <optional>

// Writes the board's rows into the window's 26 rows of cells: texts, the name cell's colour (the member's
// state) and font, and the continuous time's colour. Other cell properties are the window's own.
void show_board(const BoardState& board, FmMain& form);

// Shows the row of the last stamp in lbl_disp_yy as its number; empty when the stamp found no row.
void show_stamp_row(FmMain& form, std::optional<std::size_t> row);

// Highlights the mode button of the mode the next stamp gets.
void show_mode(FmMain& form, StampMode mode);
