#include "board/Board.h"

void set_status(FmMain&, std::string_view, int, std::string_view) {}

void clear_board(FmMain& form) {
    form.lbl_Disp_time.text = "停止中";
    form.lbl_Disp_time.fore = colors::red;
}

void clear_work_time(FmMain&) {}

void set_mode_in(FmMain& form, int& inout_mode) {
    form.Timer1 = true;
    form.lbl_Disp_time.fore = colors::button_text;
    form.cmd_IN.back = colors::on_shift;
    form.cmd_OUT.back = colors::idle_button;
    inout_mode = 1;
}
