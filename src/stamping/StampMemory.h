#pragma once

#include "core/DateTime.h"

#include <optional>
#include <string>
#include <string_view>

// What card stamping remembers between polls: the last read (its full date and time, mode and IDm; the
// labels lbl_last_time, lbl_last_io and lbl_last_Idm are written from it) and the
// business day whose board is on the window (so the daily reset runs once per business day even when the
// second 5:00:00 passed with a card on the reader or a dialog open).
class StampMemory {
public:
    // The board on the window belongs to the business day of t (start-up has just built it).
    void board_built_at(const DateTime& t);
    // True when t lies in a later business day than the board's; the board then counts as reset.
    [[nodiscard]] bool reset_due(const DateTime& t);

    // A read of the same card in the same mode less than a minute before t (either way, so that a clock
    // set back by a few seconds does not log a lying card twice) is a repeat.
    [[nodiscard]] bool is_repeat(const DateTime& t, int mode, std::string_view idm) const;
    void remember_read(const DateTime& t, int mode, std::string idm);

    struct Read {
        DateTime when;
        int mode = 0;
        std::string idm;
    };
    [[nodiscard]] const std::optional<Read>& last_read() const { return last_read_; }

    static constexpr int repeat_seconds = 60;

private:
    std::optional<DateTime> board_day_;
    std::optional<Read> last_read_;
};
