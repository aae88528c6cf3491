#include "app/WindowModel.h"

#include "app/RecorderState.h"
#include "board/BoardView.h"
#include "core/NameFont.h"
#include "core/TimeText.h"

#include <string>

static_assert(FmMain::board_rows == board_rows, "the window shows every row of the board");

namespace {

void show_store(const RecorderState& s, FmMain& form) {
    form.lbl_company.text = s.store.company;
    form.lbl_MiseID.text = s.store.store_code;
    form.lbl_tenmei.text = s.store.store_name;
    form.lbl_tenmei.pt = name_fonts::store.pt_for(s.store.store_name);
    form.lbl_tenso_stat[0].text = s.store.transfer_times[0];
    form.lbl_tenso_stat[1].text = s.store.transfer_times[1];
    form.lbl_type.text = s.connection.label_text();
    form.lbl_member_date.text = s.member_date;
    form.lbl_shift.text = s.shift_title;
}

void show_clock(const ShownClock& clock, FmMain& form) {
    form.lbl_Disp_time.text = clock.second ? timetext::hms(*clock.second) : "停止中";
    form.lbl_Disp_time.fore = clock.stopped_colour ? colors::red : colors::button_text;
    form.lbl_disp_date.text = clock.day ? timetext::date_label(*clock.day) : std::string{};
}

void show_read(const RecorderState& s, FmMain& form) {
    form.lbl_Read_Status.text = s.read_shown ? "◎" : "";
    form.lbl_Read_Name.text = s.read_shown ? s.read_shown->name : std::string{};
    if (s.name_font) {
        form.lbl_Read_Name.pt = name_fonts::read_name.pt_for(*s.name_font);
    }
}

void show_last_read(const StampMemory::Read& read, FmMain& form) {
    form.lbl_last_time.text = timetext::hms(read.when);
    form.lbl_last_Idm.text = read.idm;
    form.lbl_last_io.text = std::to_string(read.mode);
}

// The look the start-up gives the window: maximised, the last read's labels greyed, the debug captions and
// the completed, shift-in and leave columns hidden.
void first_look(FmMain& form) {
    form.maximised = true;
    for (Control* c : {&form.lbl_last_time, &form.lbl_last_Idm, &form.lbl_last_io}) {
        c->fore = colors::neutral;
    }
    for (auto& c : form.lbl_debug) {
        c.visible = false;
    }
    for (auto& row : form.board) {
        row.TT.visible = row.iT.visible = row.KT.visible = false;
    }
}

} // namespace

void show_state(const RecorderState& s, FmMain& form) {
    show_store(s, form);
    show_mode(form, s.mode);
    if (s.board.last_stamp) {
        show_stamp_row(form, s.board.last_stamp->row);
    }
    if (const auto& read = s.stamp_memory.last_read()) {
        show_last_read(*read, form);
    }
    if (s.refreshed_minute) {
        form.lbl_min_stat.text = std::to_string(*s.refreshed_minute);
    }
    if (s.laid_out) {
        first_look(form);
        show_clock(s.clock_shown, form);
        show_read(s, form);
        show_board(s.board, form);
    }
    form.Timer1 = s.polling;
    form.minimised = s.minimised;
}
