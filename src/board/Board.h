#pragma once

#include "core/FmMain.h"

#include <cstddef>
#include <optional>
#include <string_view>

// The attendance board's operations. The board keeps no table of its own: whether a member is on shift,
// since when and for how long is read back from the cells these routines wrote.

// Puts one stamp on the board: mode 1 is a shift-in, any other a shift-out; time is "h:mm". Finds the
// member's row by exact name or appends one, and hands the row used back in lbl_disp_yy (empty when the
// board is full). Never lets a failure reach its caller.
void set_status(FmMain& form, std::string_view name, int mode, std::string_view time);
// The row set_status would put the member's stamp on, found without changing the board; nullopt when the
// board is full.
[[nodiscard]] std::optional<std::size_t> stamp_row(const FmMain& form, std::string_view name);
// Empties all 26 rows and shows the stopped clock.
void clear_board(FmMain& form);
// Empties the completed totals.
void clear_work_time(FmMain& form);
// Shift-in mode: the polling timer on, the clock's colour back, cmd_IN highlighted, inout_mode 1.
void set_mode_in(FmMain& form, int& inout_mode);
