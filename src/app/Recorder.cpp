#include "app/Recorder.h"

#include "app/CardPoll.h"
#include "app/ExitUpload.h"
#include "app/LoadSequence.h"
#include "app/ProgramEnd.h"
#include "app/UsbCommands.h"
#include "app/WindowModel.h"
#include "core/TimeText.h"

#include <cstdio>
#include <exception>
#include <utility>

Recorder::Recorder(Services s, Options o) : state_(s, std::move(o)) {}

template <class F> void Recorder::run_event(F&& f) {
    if (state_.ended) {
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
        // the state's ended flag is set by end_program
    }
}

template <class F> void Recorder::run_transfer(F&& f) {
    if (transferring_) {
        return;
    }
    // The cards touched while the transfer ran were answered by no chime: they are not stamped after it.
    struct Transferring {
        bool& flag;
        CardReader& reader;
        Transferring(bool& b, CardReader& r) : flag(b), reader(r) { flag = true; }
        ~Transferring() {
            flag = false;
            reader.forget_arrivals();
        }
        Transferring(const Transferring&) = delete;
        Transferring& operator=(const Transferring&) = delete;
    } transferring{transferring_, state_.services.reader};
    run_event(std::forward<F>(f));
}

void Recorder::start() {
    run_event([&] {
        state_.stamp_memory.board_built_at(state_.clock.now());
        start_up(state_);
    });
}

void Recorder::timer_tick() {
    run_event([&] {
        // A tick that arrives while a transfer lets window events run waits for the transfer to end: a mode
        // button may have switched the timer on meanwhile, and the card routine must not run twice at once.
        if (!state_.polling || events_running_ > 1) {
            return;
        }
        const DateTime now = state_.clock.now();
        ShownClock& shown = state_.clock_shown;
        if (shown.second && timetext::hms(*shown.second) == timetext::hms(now)) {
            // A card that came since the last tick is taken now, not at the next second.
            if (state_.services.reader.card_waiting()) {
                take_waiting_card(state_);
            }
            return;
        }
        shown.second = now;
        shown.day = now;
        poll_card_and_run_clock_jobs(state_);
    });
}

void Recorder::cmd_in_click() {
    run_event([&] { choose_mode(state_, StampMode::ShiftIn); });
}

void Recorder::cmd_out_click() {
    run_event([&] { choose_mode(state_, StampMode::ShiftOut); });
}

void Recorder::cmd_func_click() {
    run_transfer([&] {
        stop_clock(state_);
        state_.log.close();
        uploaded_ = true;
        // The upload reports nothing; the program ends all the same.
        try {
            (void)upload_at_exit(state_);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "timerecorder: the exit upload failed: %s\n", e.what());
        }
        end_program(state_);
    });
}

void Recorder::cmd_from_usb_click() {
    run_transfer([&] { import_member_list_from_usb(state_); });
}

void Recorder::cmd_to_usb_click() {
    run_transfer([&] { export_log_to_usb(state_); });
}

void Recorder::close() {
    run_event([&] { end_program(state_); });
}

bool Recorder::restore_window() {
    const bool was_minimised = state_.minimised;
    state_.minimised = false;
    return was_minimised;
}

const FmMain& Recorder::window() const {
    form_ = FmMain{};
    show_state(state_, form_);
    return form_;
}
