#include "stamping/StampMemory.h"

#include "board/DayRestore.h"

#include <cstdlib>

DateTime StampMemory::business_day(const DateTime& t) {
    return business_day_start(t);
}

bool StampMemory::reset_due(const DateTime& t) {
    const DateTime day = business_day(t);
    if (!board_day_) {
        board_day_ = day; // the first poll of a run: start-up built this day's board
        return false;
    }
    // Only a later day resets: a clock set back across 5:00 must not empty today's board.
    if (day > *board_day_) {
        board_day_ = day;
        return true;
    }
    return false;
}

bool StampMemory::within_repeat_window(const DateTime& t) const {
    if (!last_read_) {
        return false;
    }
    // Whole seconds, as the clock shows them: 9:00:00.9 and 9:01:00.0 are 60 seconds apart.
    const std::int64_t apart = t.to_millis() / 1000 - last_read_->to_millis() / 1000;
    return std::llabs(apart) < repeat_seconds;
}
