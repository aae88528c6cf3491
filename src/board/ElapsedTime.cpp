#include "board/ElapsedTime.h"

#include "core/TimeText.h"

namespace {

void recompute(BoardEntry& row, int now) {
    if (row.time_in.empty()) {
        row.stay.reset();
        return;
    }
    const auto in = timetext::parse_time_of_day(row.time_in);
    if (!in) {
        return; // only a stamp writes the in-time; one it did not write leaves the stay as it was
    }
    // An in-time later than now means the stay crossed midnight.
    const int stay = *in <= now ? now - *in : now - *in + timetext::seconds_per_day;
    row.stay = stay / 60; // whole minutes, as shown
    row.cumulative = (row.total.value_or(0) + *row.stay) % timetext::minutes_per_day;
}

StayMark stay_mark(const std::optional<int>& stay) {
    const int hours = stay.value_or(0) / 60;
    if (hours > 5) {
        return StayMark::FromSix;
    }
    return hours > 3 ? StayMark::FromFour : StayMark::Short;
}

} // namespace

void update_elapsed(BoardState& board, int now_seconds_of_day) {
    const int now =
        ((now_seconds_of_day % timetext::seconds_per_day) + timetext::seconds_per_day) % timetext::seconds_per_day;
    for (BoardEntry& row : board.rows) {
        if (row.stay) {
            recompute(row, now);
        }
    }
    for (BoardEntry& row : board.rows) {
        row.stay_mark = stay_mark(row.stay);
    }
}
