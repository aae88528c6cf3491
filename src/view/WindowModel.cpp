#include "view/WindowModel.h"

#include "app/recorder/Recorder.h"
#include "board/NameFont.h"
#include "core/TimeText.h"
#include "view/BoardView.h"

#include <string>

static_assert(FmMain::board_rows == board_rows, "the window shows every row of the board");

namespace {

void show_store(const Recorder& r, FmMain& form) {
    const StoreLists& s = r.lists();
    form.lbl_company.text = s.store().company;
    form.lbl_MiseID.text = s.store().store_code;
    form.lbl_tenmei.text = s.store().store_name;
    form.lbl_tenmei.pt = name_fonts::store.pt_for(s.store().store_name);
    form.lbl_tenso_stat[0].text = s.store().transfer_times[0];
    form.lbl_tenso_stat[1].text = s.store().transfer_times[1];
    form.lbl_type.text = r.connection().label_text();
    form.lbl_member_date.text = s.member_date();
    form.lbl_shift.text = s.shift_title();
}

void show_clock(const ShownClock& clock, FmMain& form) {
    form.lbl_Disp_time.text = clock.second ? timetext::hms(*clock.second) : "停止中";
    form.lbl_Disp_time.fore = clock.stopped_colour ? colors::red : colors::button_text;
    form.lbl_disp_date.text = clock.day ? timetext::date_label(*clock.day) : std::string{};
}

void show_read(const CardTouches& card, FmMain& form) {
    const auto& read = card.read_shown();
    form.lbl_Read_Status.text = read ? "◎" : "";
    form.lbl_Read_Name.text = read ? read->name : std::string{};
    if (const auto& font = card.name_font()) {
        form.lbl_Read_Name.pt = name_fonts::read_name.pt_for(*font);
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

void show_state(const Recorder& r, FmMain& form) {
    const CardTouches& card = r.card();
    const Panel& panel = r.panel();
    show_store(r, form);
    show_mode(form, panel.mode());
    if (card.board().last_stamp) {
        show_stamp_row(form, card.board().last_stamp->row);
    }
    if (const auto& read = card.memory().last_read()) {
        show_last_read(*read, form);
    }
    if (const auto minute = card.refreshed_minute()) {
        form.lbl_min_stat.text = std::to_string(*minute);
    }
    if (panel.laid_out()) {
        first_look(form);
        show_clock(panel.clock(), form);
        show_read(card, form);
        show_board(card.board(), form);
    }
    form.Timer1 = panel.polling();
    form.minimised = panel.minimised();
}

FmMain window_of(const Recorder& r) {
    FmMain form;
    show_state(r, form);
    return form;
}
