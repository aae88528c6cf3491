#include "board/BoardState.h"

#include "core/TimeText.h"

namespace {

// Row of name, or the first empty row (the end of the used rows), or board_rows when every row is used.
struct Search {
    std::size_t row = board_rows;
    bool found = false;
};

Search search(const std::array<BoardEntry, board_rows>& rows, std::string_view name) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].name.empty()) {
            return {i, false};
        }
        if (rows[i].name == name) {
            return {i, true};
        }
    }
    return {};
}

void shift_in(BoardEntry& row, std::string_view time) {
    if (row.shift != ShiftState::OnShift) {
        row.stay = 0;
    }
    row.shift = ShiftState::OnShift;
    row.time_in = time;
}

// The stay as last refreshed goes into the completed total; the refresh kept it current.
void shift_out(BoardEntry& row) {
    row.shift = ShiftState::ShiftedOut;
    row.time_in.clear();
    if (row.stay) {
        row.total = (row.total.value_or(0) + *row.stay) % timetext::minutes_per_day;
    }
    row.stay.reset();
    row.stay_mark = StayMark::Short;
}

void new_row(BoardEntry& row, std::string_view name, int mode, std::string_view time) {
    row.name = name;
    row.name_pt = name_fonts::board.pt_for(name);
    if (mode == 1) {
        row.shift = ShiftState::OnShift;
        row.time_in = time;
        row.stay = 0;
    } else {
        row.shift = ShiftState::FirstSeenOut;
        row.time_in.clear();
        row.stay.reset();
    }
}

} // namespace

std::optional<std::size_t> BoardState::stamp(std::string_view name, int mode, std::string_view time) {
    const Search s = search(rows, name);
    if (s.row == board_rows) {
        return std::nullopt; // the board is full: the stamp is logged without a row
    }
    BoardEntry& row = rows[s.row];
    if (!s.found) {
        new_row(row, name, mode, time);
    } else if (mode == 1) {
        shift_in(row, time);
    } else {
        shift_out(row);
    }
    return s.row;
}

std::optional<std::size_t> BoardState::row_of(std::string_view name) const {
    const Search s = search(rows, name);
    if (s.row == board_rows) {
        return std::nullopt;
    }
    return s.row;
}

void BoardState::clear() {
    for (BoardEntry& row : rows) {
        const double pt = row.name_pt;
        row = BoardEntry{};
        row.name_pt = pt;
    }
}

void BoardState::clear_totals() {
    for (BoardEntry& row : rows) {
        row.total.reset();
    }
}
