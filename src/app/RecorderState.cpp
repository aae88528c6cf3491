#include "app/RecorderState.h"

#include "app/ProgramEnd.h"

RecorderState::RecorderState(Services s, Options o)
    : services(s), clock(s.clock), ui(s.ui), options(std::move(o)), paths(options.root), connection(options.server),
      uf_initial(paths.settings_file()) {}

std::filesystem::path log_path(const RecorderState& s) {
    return s.paths.attendance_log(s.store.store_code);
}

Status open_log(RecorderState& s) {
    s.log.close();
    return s.log.open_append(log_path(s));
}

void stop_clock(RecorderState& s) {
    s.clock_shown.second.reset();
    s.clock_shown.stopped_colour = true;
}

void clear_board_and_clock(RecorderState& s) {
    s.board.clear();
    s.clock_shown.day.reset();
    s.read_shown.reset();
    stop_clock(s);
}

void choose_mode(RecorderState& s, StampMode mode) {
    s.polling = true;
    s.clock_shown.stopped_colour = false;
    s.mode = mode;
}

void end_program(RecorderState& s) {
    s.polling = false;
    s.log.close();
    s.ended = true;
    throw ProgramEnd{};
}

void end_with_message(RecorderState& s, MessageIcon icon, const std::string& text) {
    s.ui.message(icon, MessageButtons::Ok, text);
    end_program(s);
}
