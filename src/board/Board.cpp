#include "board/Board.h"

#include <exception>

std::optional<std::size_t> put_stamp_on_board(BoardState& board, std::string_view name, int mode,
                                              std::string_view time) {
    std::optional<std::size_t> row;
    try {
        row = board.stamp(name, mode, time);
    } catch (const std::exception&) {
        // A stamp must never stop the caller: the log line is still written, the board keeps what it had.
        row.reset();
    }
    board.last_stamp = BoardState::LastStamp{row};
    return row;
}
