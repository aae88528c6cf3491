#pragma once

#include "dialogs/Control.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

// The cells of one row of the attendance board: planned start, name, continuous time, cumulative time,
// completed total, last shift-in and planned leave. They show the board's state; nothing reads them back.
struct BoardRow {
    Control ST;
    Control Cast;
    Control ET;
    Control RT;
    Control TT;
    Control iT;
    Control KT;
};

// The model of the main window: every control with its text, colours, font size and visibility, the board,
// and the enabled state of the polling timer. The windows render it; it is written from the recorder's state
// (WindowModel) and nothing is read back from it.
class FmMain {
public:
    FmMain(); // every control at its design text, position and colours

    static constexpr const char* caption = "Taveloタイムレコーダー 13b Zerbanto";
    static constexpr int design_width = 14085; // client area in twips
    static constexpr int design_height = 14205;
    static constexpr int board_rows = 26;

    Control lbl_company, lbl_tenmei, lbl_MiseID, lbl_disp_date, lbl_Disp_time, lbl_Read_Status, lbl_Read_Name;
    Control cmd_IN, cmd_OUT, Cmd_FromUSB, Cmd_ToUSB;
    Control lbl_last_time, lbl_last_Idm, lbl_last_io, cmd_Func;
    std::array<Control, 2> lbl_tenso_stat;
    Control lbl_min_stat, lbl_member_date, lbl_disp_yy, lbl_shift, lbl_type;

    // Board headers and the captions of the working columns.
    Control Label8, Label9, Label3, Label6;
    std::array<Control, 9> lbl_debug;
    std::array<BoardRow, board_rows> board;

    bool Timer1 = false;
    bool maximised = false;
    bool minimised = false;

    // The controls outside the board, keyed by control name, in design order ("lbl_tenso_stat(0)").
    [[nodiscard]] std::vector<std::pair<std::string, const Control*>> named_controls() const;
    [[nodiscard]] std::vector<std::pair<std::string, Control*>> named_controls();
    // The board headers and working-column captions, keyed by name ("lbl_debug(6)").
    [[nodiscard]] std::vector<std::pair<std::string, const Control*>> header_controls() const;
};

// The seven cells of a row in column order, with their column names ("ST", "Cast", ...).
[[nodiscard]] std::array<std::pair<const char*, const Control*>, 7> cells_of(const BoardRow& row);
