#pragma once

#include "app/recorder/CardTouches.h"
#include "app/recorder/Connection.h"
#include "app/recorder/Panel.h"
#include "app/recorder/StoreLists.h"
#include "app/recorder/Transfers.h"
#include "app/start/Options.h"
#include "core/DateTime.h"
#include "core/Paths.h"
#include "dialogs/UserInterface.h"
#include "stamping/CardReader.h"
#include "stamping/Sounds.h"
#include "transfer/DriveList.h"

#include <functional>
#include <string_view>
#include <utility>

// The world the recorder works in, handed to it: the clock, the person at the screen, the reader, the
// speaker and the drives.
struct Services {
    Clock& clock;
    UserInterface& ui;
    CardReader& reader;
    Sounds& sounds;
    DriveList& drives;
};

// The running recorder: the window's events, each handed to the part that owns what it changes: the store's
// settings and lists (StoreLists), the panel with the mode and the clock (Panel), the card path with the
// board and the log (CardTouches) and the transfers (Transfers). The windows and the simulator drive it only
// through its event methods and read the parts through their const views; the window model is written from
// them (view/WindowModel).
class Recorder {
public:
    Recorder(Services services, Options options);
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // The start routine once the single-instance test has passed: the start-up sequence, then the connection
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
    bool restore_window() { return panel_.restore_window(); }
    // Calls back with each attendance-log line once it is on disk (the simulator reports them).
    void on_log_line(std::function<void(std::string_view)> appended) { card_.on_log_line(std::move(appended)); }

    [[nodiscard]] bool ended() const { return ended_; }
    // Ended by a failure of card stamping: the programs end with a status that says so.
    [[nodiscard]] bool failed() const { return failed_; }
    [[nodiscard]] bool polling() const { return panel_.polling(); }
    [[nodiscard]] bool uploaded() const { return uploaded_; }

    // The parts as they stand, read-only: for the window model, the simulator's state and the tests.
    [[nodiscard]] const Options& options() const { return options_; }
    [[nodiscard]] const Paths& paths() const { return paths_; }
    [[nodiscard]] const Connection& connection() const { return connection_; }
    [[nodiscard]] const StoreLists& lists() const { return lists_; }
    [[nodiscard]] const Panel& panel() const { return panel_; }
    [[nodiscard]] const CardTouches& card() const { return card_; }
    [[nodiscard]] DateTime now() const { return services_.clock.now(); }

private:
    // The tests reach the parts themselves, to run one routine alone or to set up a situation through the
    // parts' own operations (tests/support/RecorderParts.h).
    friend struct RecorderParts;

    template <class F> void run_event(F&& f);
    // An event that transfers files ("USBから", "USBへ", "終了"): nothing while another one is under way.
    template <class F> void run_transfer(F&& f);
    // Polling off, the log closed, no further event runs.
    void end(bool failed);

    Services services_;
    const Options options_;
    const Paths paths_;
    const Connection connection_;
    Panel panel_;
    StoreLists lists_;
    CardTouches card_;
    Transfers transfers_;

    bool ended_ = false;
    bool failed_ = false;
    bool uploaded_ = false;
    bool transferring_ = false; // a transfer, listing or copy is under way and may let window events run
    int events_running_ = 0;    // more than one while a transfer or listing lets window events run
};
