#include "view/BoardView.h"

#include "core/TimeText.h"

#include <string>

namespace {

Color shift_colour(ShiftState s) {
    switch (s) {
    case ShiftState::OnShift:
        return colors::on_shift;
    case ShiftState::ShiftedOut:
        return colors::shifted_out;
    case ShiftState::FirstSeenOut:
        return colors::first_seen_out;
    case ShiftState::None:
        break;
    }
    return colors::neutral;
}

Color stay_colour(StayMark m) {
    switch (m) {
    case StayMark::FromFour:
        return colors::yellow;
    case StayMark::FromSix:
        return colors::salmon;
    case StayMark::Short:
        break;
    }
    return colors::neutral;
}

std::string duration_text(const std::optional<int>& minutes) {
    return minutes ? timetext::hm(static_cast<long long>(*minutes) * 60) : std::string{};
}

void show_row(const BoardEntry& e, BoardRow& row) {
    row.ST.text = e.planned_start;
    row.KT.text = e.planned_leave;
    row.Cast.text = e.name;
    row.Cast.pt = e.name_pt;
    row.Cast.back = shift_colour(e.shift);
    row.iT.text = e.time_in;
    row.ET.text = duration_text(e.stay);
    row.ET.back = stay_colour(e.stay_mark);
    row.RT.text = duration_text(e.cumulative);
    row.TT.text = duration_text(e.total);
}

} // namespace

void show_board(const BoardState& board, FmMain& form) {
    for (std::size_t i = 0; i < board.rows.size(); ++i) {
        show_row(board.rows[i], form.board[i]);
    }
}

void show_stamp_row(FmMain& form, std::optional<std::size_t> row) {
    form.lbl_disp_yy.text = row ? std::to_string(*row) : std::string{};
}

void show_mode(FmMain& form, StampMode mode) {
    const bool in = mode == StampMode::ShiftIn;
    form.cmd_IN.back = in ? colors::on_shift : colors::idle_button;
    form.cmd_OUT.back = in ? colors::idle_button : colors::on_shift;
}
