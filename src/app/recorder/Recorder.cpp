#include "app/recorder/Recorder.h"

#include "app/recorder/ProgramEnd.h"
#include "app/recorder/StartUp.h"

#include <cstdio>
#include <exception>
#include <utility>

Recorder::Recorder(Services s, Options o)
    : services_(s), options_(std::move(o)), paths_(options_.root), connection_(options_.server),
      lists_(s.clock, s.ui, options_, paths_, connection_),
      card_(CardServices{s.clock, s.ui, s.reader, s.sounds}, paths_, lists_.store(), lists_.members(), panel_),
      transfers_(s.clock, s.ui, s.drives, options_, paths_, connection_, lists_, card_, panel_) {}

void Recorder::end(bool failed) {
    panel_.stop_polling();
    card_.close_log();
    ended_ = true;
    failed_ = failed_ || failed;
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
    } catch (const ProgramEnd& e) {
        end(e.failed);
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
    } transferring{transferring_, services_.reader};
    run_event(std::forward<F>(f));
}

void Recorder::start() {
    run_event([&] {
        card_.board_built_at(services_.clock.now());
        start_up(lists_, panel_, card_);
    });
}

void Recorder::timer_tick() {
    run_event([&] {
        // A tick that arrives while a transfer lets window events run waits for the transfer to end: a mode
        // button may have switched the timer on meanwhile, and the card routine must not run twice at once.
        if (!panel_.polling() || events_running_ > 1) {
            return;
        }
        if (panel_.show_second(services_.clock.now())) {
            card_.poll_card_and_run_clock_jobs();
        } else if (services_.reader.card_waiting()) {
            // A card that came since the last tick is taken now, not at the next second.
            card_.take_waiting_card();
        }
    });
}

void Recorder::cmd_in_click() {
    run_event([&] { panel_.choose_mode(StampMode::ShiftIn); });
}

void Recorder::cmd_out_click() {
    run_event([&] { panel_.choose_mode(StampMode::ShiftOut); });
}

void Recorder::cmd_func_click() {
    run_transfer([&] {
        panel_.stop_clock();
        card_.close_log();
        uploaded_ = true;
        // The upload reports nothing; the program ends all the same.
        try {
            (void)transfers_.upload_at_exit();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "timerecorder: the exit upload failed: %s\n", e.what());
        }
        throw ProgramEnd{};
    });
}

void Recorder::cmd_from_usb_click() {
    run_transfer([&] { transfers_.import_member_list_from_usb(); });
}

void Recorder::cmd_to_usb_click() {
    run_transfer([&] { transfers_.export_log_to_usb(); });
}

void Recorder::close() {
    run_event([] { throw ProgramEnd{}; });
}
