#pragma once

#include "board/BoardState.h"

#include <cstddef>
#include <optional>
#include <string_view>

// (Formerly set_status.) Puts one stamp on the board (BoardState::stamp) and remembers the row used as the
// last stamp's row, none when the board is full. Returns that row. Never lets a failure reach its caller: the
// log line is written whatever the board makes of the stamp.
std::optional<std::size_t> put_stamp_on_board(BoardState& board, std::string_view name, int mode,
                                              std::string_view time);
