#include "app/BoardRestore.h"

#include "app/RecorderState.h"
#include "board/DayRestore.h"
#include "board/ElapsedTime.h"

Status restore_board(RecorderState& s) {
    s.log.close();
    const DateTime now = s.clock.now();
    replay_log(s.board, log_path(s), business_day_start(now));
    update_elapsed(s.board, now.seconds_of_day());
    return open_log(s);
}
