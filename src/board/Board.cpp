#include "board/Board.h"

#include "core/Cp932.h"
#include "core/TimeText.h"

#include <exception>
#include <string>

namespace {

// A name longer than this many characters is shown smaller so that it fits its cell.
constexpr std::size_t long_name = 6;
constexpr double long_name_pt = 18;
constexpr double short_name_pt = 20;

// Row of name, or the first empty row (the end of the used rows), or board_rows when every row is used.
struct Search {
    int row = board_rows;
    bool found = false;
};

Search search(const FmMain& form, std::string_view name) {
    for (int i = 0; i < board_rows; ++i) {
        const std::string& cast = form.board[static_cast<std::size_t>(i)].Cast.text;
        if (cast.empty()) {
            return {i, false};
        }
        if (cast == name) {
            return {i, true};
        }
    }
    return {};
}

void shift_in(BoardRow& row, std::string_view time) {
    if (row.Cast.back != colors::on_shift) {
        row.ET.text = "0:00";
    }
    row.Cast.back = colors::on_shift;
    row.iT.text = time;
}

// The stay as last displayed goes into the completed total; the earlier refresh kept it current.
void shift_out(BoardRow& row) {
    row.Cast.back = colors::shifted_out;
    row.iT.text.clear();
    if (!row.ET.text.empty()) {
        if (row.TT.text.empty()) {
            row.TT.text = row.ET.text;
        } else if (auto sum = timetext::add_hm(row.TT.text, row.ET.text)) {
            row.TT.text = *sum;
        }
    }
    row.ET.text.clear();
    row.ET.back = colors::neutral;
}

void new_row(BoardRow& row, std::string_view name, int mode, std::string_view time) {
    row.Cast.text = name;
    row.Cast.pt = utf8_length(name) > long_name ? long_name_pt : short_name_pt;
    if (mode == 1) {
        row.Cast.back = colors::on_shift;
        row.iT.text = time;
        row.ET.text = "0:00";
    } else {
        row.Cast.back = colors::first_seen_out;
        row.iT.text.clear();
        row.ET.text.clear();
    }
}

void put_stamp(FmMain& form, std::string_view name, int mode, std::string_view time) {
    const Search s = search(form, name);
    if (s.row == board_rows) {
        form.lbl_disp_yy.text.clear(); // the board is full: the stamp is logged without a row
        return;
    }
    BoardRow& row = form.board[static_cast<std::size_t>(s.row)];
    if (!s.found) {
        new_row(row, name, mode, time);
    } else if (mode == 1) {
        shift_in(row, time);
    } else {
        shift_out(row);
    }
    form.lbl_disp_yy.text = std::to_string(s.row);
}

} // namespace

void set_status(FmMain& form, std::string_view name, int mode, std::string_view time) {
    try {
        put_stamp(form, name, mode, time);
    } catch (const std::exception&) {
        // A stamp must never stop the caller: the log line is still written, the board keeps what it had.
        form.lbl_disp_yy.text.clear();
    }
}

std::optional<std::size_t> stamp_row(const FmMain& form, std::string_view name) {
    const Search s = search(form, name);
    if (s.row == board_rows) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(s.row);
}

void clear_board(FmMain& form) {
    for (auto& row : form.board) {
        for (Control* c : {&row.ST, &row.KT, &row.Cast, &row.ET, &row.iT, &row.RT, &row.TT}) {
            c->text.clear();
        }
        for (Control* c : {&row.ST, &row.KT, &row.Cast, &row.ET, &row.iT}) {
            c->back = colors::neutral;
        }
    }
    form.lbl_disp_date.text.clear();
    form.lbl_Disp_time.text = "停止中";
    form.lbl_Disp_time.fore = colors::red;
    form.lbl_Read_Status.text.clear();
    form.lbl_Read_Name.text.clear();
}

void clear_work_time(FmMain& form) {
    for (auto& row : form.board) {
        row.TT.text.clear();
    }
}

void set_mode_in(FmMain& form, int& inout_mode) {
    form.Timer1 = true;
    form.lbl_Disp_time.fore = colors::button_text;
    form.cmd_IN.back = colors::on_shift;
    form.cmd_OUT.back = colors::idle_button;
    inout_mode = 1;
}
