#include "app/RecorderState.h"

#include "app/ProgramEnd.h"
#include "board/Board.h"

RecorderState::RecorderState(Services s, Options o)
    : services(s), clock(s.clock), ui(s.ui), options(std::move(o)), paths(options.root), connection(options.server),
      uf_initial(paths.settings_file()) {
    show_connection(*this);
}

std::filesystem::path log_path(const RecorderState& s) {
    return s.paths.attendance_log(s.form.lbl_MiseID.text);
}

Status open_log(RecorderState& s) {
    s.log.close();
    return s.log.open_append(log_path(s));
}

void show_connection(RecorderState& s) {
    s.form.lbl_type.text = s.connection.label_text();
}

void show_stopped_clock(RecorderState& s) {
    s.form.lbl_Disp_time.text = "停止中";
    s.form.lbl_Disp_time.fore = colors::red;
    s.shown_second.reset();
}

void clear_board_and_clock(RecorderState& s) {
    clear_board(s.board, s.form);
    show_stopped_clock(s);
}

void end_program(RecorderState& s) {
    s.form.Timer1 = false;
    s.log.close();
    s.ended = true;
    throw ProgramEnd{};
}

void end_with_message(RecorderState& s, MessageIcon icon, const std::string& text) {
    s.ui.message(icon, MessageButtons::Ok, text);
    end_program(s);
}
