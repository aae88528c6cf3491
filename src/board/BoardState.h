#pragma once

#include "board/NameFont.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

inline constexpr int board_rows = 26;

// Where a member stands today. A row that no stamp has reached yet (planned, or empty) has None.
enum class ShiftState { None, OnShift, ShiftedOut, FirstSeenOut };

// How long the continuous stay was at the last refresh: from 4 hours, from 6 hours.
enum class StayMark { Short, FromFour, FromSix };

// One row of the attendance board: a planned or stamped member and their day so far. Durations are minutes
// and wrap at 24 hours; empty values are nullopt.
struct BoardEntry {
    std::string name;                             // the key of the row; an empty name ends the used rows
    double name_pt = name_fonts::board.normal_pt; // set with each name written; emptying the board keeps it
    std::string planned_start;                    // as the shift plan has them
    std::string planned_leave;
    ShiftState shift = ShiftState::None;
    std::string time_in;           // "h:mm" of the last shift-in, as stamped; empty when not on shift
    std::optional<int> stay;       // the continuous time as last refreshed; shown while on shift
    std::optional<int> cumulative; // completed total plus the stay, as of the last refresh
    std::optional<int> total;      // the completed stays of the day
    StayMark stay_mark = StayMark::Short;
};

// The day's attendance board, the only record of who is on shift. The window shows it (BoardView).
class BoardState {
public:
    // Puts one stamp on the board: mode 1 is a shift-in, any other a shift-out; time is "h:mm". Finds the
    // member's row by exact name or appends one. Returns the row used; nullopt when the board is full.
    std::optional<std::size_t> stamp(std::string_view name, int mode, std::string_view time);
    // The row stamp() would use for the name, found without changing the board; nullopt when the board is full.
    [[nodiscard]] std::optional<std::size_t> row_of(std::string_view name) const;
    // Empties every row; name fonts stay as they were.
    void clear();
    // Empties the completed totals.
    void clear_totals();

    // The row of the run's last stamp (put or replayed): none when the board was full. lbl_disp_yy shows it; emptying
    // the board leaves it.
    struct LastStamp {
        std::optional<std::size_t> row;
    };

    std::array<BoardEntry, board_rows> rows;
    std::optional<LastStamp> last_stamp; // none before the run's first stamp
};
