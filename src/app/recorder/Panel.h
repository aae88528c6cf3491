#pragma once

#include "core/DateTime.h"
#include "stamping/StampMode.h"

#include <optional>

// The clock as lbl_Disp_time and lbl_disp_date show it.
struct ShownClock {
    std::optional<DateTime> second; // the second shown ("h:mm:ss"); none: "停止中". A tick in another second polls.
    std::optional<DateTime> day;    // the date shown; none: empty. Stopping the clock leaves the date.
    bool stopped_colour = true;     // red from a stop until a mode button gives the clock its colour back
};

// The recorder's panel: the mode of the next stamps, whether the card reader is polled (Timer1), the clock
// shown, and the window's own state (its first look given by the start-up, minimised). The mode buttons, the
// timer, the daily reset and the transfers change it; the window model shows it.
class Panel {
public:
    [[nodiscard]] StampMode mode() const { return mode_; }
    [[nodiscard]] bool polling() const { return polling_; }
    [[nodiscard]] const ShownClock& clock() const { return clock_; }
    // The window's first look has been given at start-up: until then it shows its design texts.
    [[nodiscard]] bool laid_out() const { return laid_out_; }
    [[nodiscard]] bool minimised() const { return minimised_; }

    // (Formerly set_mode_in / set_mode_out.) The mode of the next stamps; polling on and the clock's colour back.
    void choose_mode(StampMode mode);
    // The clock shows the second of now: false when it showed that second already.
    bool show_second(const DateTime& now);
    // Shows the stopped clock: "停止中" in red; no second is shown any more.
    void stop_clock();
    // The stopped clock without a date: the next tick polls again, whatever its second.
    void clear_clock();
    void stop_polling() { polling_ = false; }
    void lay_out() { laid_out_ = true; }
    // A second start asked the window to show itself: restores it when minimised; whether it was.
    bool restore_window();

private:
    StampMode mode_ = StampMode::ShiftIn;
    bool polling_ = false;
    ShownClock clock_;
    bool laid_out_ = false;
    bool minimised_ = false;
};
