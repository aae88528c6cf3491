#include "board/Board.h"

#include "board/BoardView.h"

#include <exception>

namespace {

void set_mode(FmMain& form, int& inout_mode, int mode) {
    form.Timer1 = true;
    form.lbl_Disp_time.fore = colors::button_text;
    show_mode(form, mode);
    inout_mode = mode;
}

} // namespace

std::optional<std::size_t> set_status(BoardState& board, FmMain& form, std::string_view name, int mode,
                                      std::string_view time) {
    std::optional<std::size_t> row;
    try {
        row = board.stamp(name, mode, time);
    } catch (const std::exception&) {
        // A stamp must never stop the caller: the log line is still written, the board keeps what it had.
        row.reset();
    }
    show_board(board, form);
    show_stamp_row(form, row);
    return row;
}

void clear_board(BoardState& board, FmMain& form) {
    board.clear();
    show_board(board, form);
    for (auto& row : form.board) {
        for (Control* c : {&row.ST, &row.KT, &row.iT}) {
            c->back = colors::neutral;
        }
    }
    form.lbl_disp_date.text.clear();
    form.lbl_Disp_time.text = "停止中";
    form.lbl_Disp_time.fore = colors::red;
    form.lbl_Read_Status.text.clear();
    form.lbl_Read_Name.text.clear();
}

void clear_work_time(BoardState& board, FmMain& form) {
    board.clear_totals();
    show_board(board, form);
}

void set_mode_in(FmMain& form, int& inout_mode) {
    set_mode(form, inout_mode, 1);
}

void set_mode_out(FmMain& form, int& inout_mode) {
    set_mode(form, inout_mode, 2);
}
