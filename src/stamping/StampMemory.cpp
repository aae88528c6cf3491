#include "stamping/StampMemory.h"

#include "board/DayRestore.h"

#include <cstdlib>

void StampMemory::board_built_at(const DateTime& t) {
    board_day_ = business_day_start(t);
}

bool StampMemory::reset_due(const DateTime& t) {
    const DateTime day = business_day_start(t);
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

bool StampMemory::is_repeat(const DateTime& t, int mode, std::string_view idm) const {
    if (!last_read_ || last_read_->mode != mode || last_read_->idm != idm) {
        return false;
    }
    // Whole seconds, as the clock shows them: 9:00:00.9 and 9:01:00.0 are 60 seconds apart.
    const std::int64_t apart = t.to_millis() / 1000 - last_read_->when.to_millis() / 1000;
    return std::llabs(apart) < repeat_seconds;
}

void StampMemory::remember_read(const DateTime& t, int mode, std::string idm) {
    last_read_ = Read{t, mode, std::move(idm)};
}
