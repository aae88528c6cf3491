#include "app/LoadSequence.h"

#include "app/BoardRestore.h"
#include "app/MemberListLoad.h"
#include "app/RecorderState.h"
#include "app/SettingsLoad.h"
#include "app/ShiftPlanLoad.h"
#include "board/Board.h"

#include <cstdio>
#include <exception>
#include <type_traits>

namespace {

// Standard error only: the simulator's standard output carries its events.
void report_skipped(const char* step, const char* why) {
    std::fprintf(stderr, "timerecorder: start-up step \"%s\" skipped: %s\n", step, why);
}

// A step of the load sequence: one that fails, by its returned status or a thrown failure, is skipped.
template <class F> void step(const char* name, F&& f) {
    try {
        if constexpr (std::is_void_v<decltype(f())>) {
            f();
        } else if (const Status st = f(); !st) {
            report_skipped(name, ("error " + std::to_string(number_of(st.error()))).c_str());
        }
    } catch (const std::exception& e) {
        report_skipped(name, e.what());
    }
}

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

void load_main_window(RecorderState& s) {
    s.form.Timer1 = false;
    step("settings", [&] { load_settings(s); });
    step("member list", [&] { get_member_list(s); });
    first_look(s.form);
    s.form.Timer1 = false;
    step("board", [&] { clear_board_and_clock(s); });
    step("shift plan", [&] { get_shift_list(s); });
    step("day restore", [&] { return restore_board(s); });
    set_mode_in(s.form, s.inout_mode);
    step("log", [&]() -> Status { return s.log.is_open() ? Status(Done{}) : open_log(s); });
}
