#pragma once

#include "app/Options.h"
#include "app/RecorderState.h"
#include "core/FmMain.h"

#include <functional>
#include <string_view>
#include <utility>

// The running recorder: the window's events over the state its routines share for the whole run. The
// windows and the simulator drive it only through its event methods and show its window model, which is
// written from the state.
class Recorder {
public:
    Recorder(Services services, Options options);
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // The start routine once the single-instance test has passed: the load sequence, then the connection
    // setting ("StandAlone", or the server given on the command line).
    void start();

    // Window events. Each returns normally, also when the program has ended (see ended()).
    void timer_tick();         // Timer1, every 100 ms while polling
    void cmd_in_click();       // "シフト　イン"
    void cmd_out_click();      // "シフト　アウト"
    void cmd_func_click();     // "終了"
    void cmd_from_usb_click(); // "USBから"
    void cmd_to_usb_click();   // "USBへ"
    void close();              // the window closed by other means: ends without the upload

    // A second start asked the window to show itself: restores it when minimised; whether it was.
    bool restore_window();
    // Calls back with each attendance-log line once it is on disk (the simulator reports them).
    void on_log_line(std::function<void(std::string_view)> appended) {
        state_.log.set_on_appended(std::move(appended));
    }

    [[nodiscard]] bool ended() const { return state_.ended; }
    [[nodiscard]] bool polling() const { return state_.polling; }
    [[nodiscard]] bool uploaded() const { return uploaded_; }

    // The window model, written from the state as it stands: what the windows render and the simulator prints.
    [[nodiscard]] const FmMain& window() const;

    // The state the window model is written from, for the simulator to print and the tests to look into; the
    // tests also set up situations through it.
    [[nodiscard]] const RecorderState& state() const { return state_; }
    [[nodiscard]] RecorderState& state() { return state_; }

private:
    template <class F> void run_event(F&& f);
    // An event that transfers files ("USBから", "USBへ", "終了"): nothing while another one is under way.
    template <class F> void run_transfer(F&& f);

    RecorderState state_;
    mutable FmMain form_; // the window model; one object for the whole run, since the windows keep its controls
    bool uploaded_ = false;
    bool transferring_ = false; // a transfer, listing or copy is under way and may let window events run
    int events_running_ = 0;    // more than one while a transfer or listing lets window events run
};
