#pragma once

#include "core/DateTime.h"

#include <optional>

// What card stamping remembers between polls besides the window's labels: the full date and time of the
// last read (lbl_last_time holds only the time of day, which cannot tell yesterday from today) and the
// business day whose board is on the window (so the daily reset runs once per business day even when the
// second 5:00:00 passed with a card on the reader or a dialog open).
class StampMemory {
public:
    // The business day a moment belongs to, as its start: 5:00:00 of that day, or of the day before until 4:59:59.
    [[nodiscard]] static DateTime business_day(const DateTime& t);

    // The board on the window belongs to the business day of t (start-up has just built it).
    void board_built_at(const DateTime& t) { board_day_ = business_day(t); }
    // True when t lies in a later business day than the board's; the board then counts as reset.
    [[nodiscard]] bool reset_due(const DateTime& t);

    // A read of the same card in the same mode less than a minute before t (either way, so that a clock
    // set back by a few seconds does not log a lying card twice) is a repeat.
    [[nodiscard]] bool within_repeat_window(const DateTime& t) const;
    void remember_read(const DateTime& t) { last_read_ = t; }
    [[nodiscard]] const std::optional<DateTime>& last_read() const { return last_read_; }

    static constexpr int repeat_seconds = 60;

private:
    std::optional<DateTime> board_day_;
    std::optional<DateTime> last_read_;
};
