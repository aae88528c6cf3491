#include "app/Recorder.h"

#include "board/Board.h"
#include "board/DayRestore.h"
#include "core/ErrorNumber.h"
#include "core/TimeText.h"
#include "lists/MemberList.h"
#include "lists/ShiftPlan.h"
#include "settings/SettingsFile.h"
#include "stamping/CardStamping.h"
#include "transfer/LogUpload.h"
#include "transfer/UsbExport.h"
#include "transfer/UsbImport.h"

#include <exception>

Recorder::Recorder(Services s, Options o)
    : services(s), clock(s.clock), ui(s.ui), options(std::move(o)), paths(options.root),
      uf_initial(paths.settings_file()) {
    form.lbl_type.text = connection_setting();
}

template <class F> void Recorder::run_event(F&& f) {
    if (ended_) {
        return;
    }
    struct Running {
        int& count;
        explicit Running(int& c) : count(++c) {}
        ~Running() { --count; }
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;
    } running{events_running_};
    try {
        f();
    } catch (const ProgramEnd&) {
        // ended_ is set by end_program
    }
}

void Recorder::end_program() {
    form.Timer1 = false;
    log.close();
    ended_ = true;
    throw ProgramEnd{};
}

void Recorder::open_log() {
    log.close();
    if (auto st = log.open_append(log_path()); !st) {
        throw RuntimeError(st.error());
    }
}

namespace {
// A step of the load sequence: one that fails is skipped without a message.
template <class F> void step(F&& f) {
    try {
        f();
    } catch (const ProgramEnd&) {
        throw;
    } catch (const std::exception&) {
    }
}
} // namespace

void Recorder::load() {
    step([&] { form.Timer1 = false; });
    step([&] { get_actionmap(*this); });
    step([&] { get_member_list(*this); });
    step([&] { form.maximised = true; });
    step([&] {
        for (Control* c : {&form.lbl_last_time, &form.lbl_last_Idm, &form.lbl_last_io}) {
            c->fore = colors::neutral;
        }
    });
    step([&] {
        for (auto& c : form.lbl_debug) {
            c.visible = false;
        }
    });
    step([&] {
        for (auto& row : form.board) {
            row.TT.visible = row.iT.visible = row.KT.visible = false;
        }
    });
    step([&] { form.Timer1 = false; });
    step([&] { clear_board(board, form); });
    step([&] { get_shift_list(*this); });
    step([&] { restore_board(*this); });
    step([&] { set_mode_in(form, inout_mode); });
    step([&] {
        if (!log.is_open()) {
            open_log();
        }
    });
}

void Recorder::start() {
    run_event([&] {
        stamp_memory.board_built_at(clock.now());
        load();
        form.lbl_type.text = connection_setting();
    });
}

void Recorder::timer_tick() {
    run_event([&] {
        // A tick that arrives while a transfer lets window events run waits for the transfer to end: a mode
        // button may have switched the timer on meanwhile, and the card routine must not run twice at once.
        if (!form.Timer1 || events_running_ > 1) {
            return;
        }
        const DateTime now = clock.now();
        const std::string time_text = timetext::hms(now);
        if (time_text == form.lbl_Disp_time.text) {
            return;
        }
        form.lbl_disp_date.text = timetext::date_label(now);
        form.lbl_Disp_time.text = time_text;
        get_card_idm(*this);
    });
}

void Recorder::cmd_in_click() {
    run_event([&] { set_mode_in(form, inout_mode); });
}

void Recorder::cmd_out_click() {
    run_event([&] { set_mode_out(form, inout_mode); });
}

void Recorder::cmd_func_click() {
    run_event([&] {
        if (exiting_) {
            return; // a second press while the logs are being uploaded
        }
        exiting_ = true;
        form.Timer1 = false;
        form.lbl_Disp_time.text = "停止中";
        form.lbl_Disp_time.fore = colors::red;
        log.close();
        uploaded_ = true;
        try {
            Pre_Tensou_STD(*this);
        } catch (const std::exception&) {
            // the upload reports nothing; the program ends all the same
        }
        end_program();
    });
}

void Recorder::cmd_from_usb_click() {
    run_event([&] { Get_From_USB(*this); });
}

void Recorder::cmd_to_usb_click() {
    run_event([&] { Search_OutUSB_Drive(*this); });
}

void Recorder::close() {
    run_event([&] { end_program(); });
}
