#include "board/DayRestore.h"

#include "app/Recorder.h"

void restore_board(Recorder& rec) { rec.open_log(); }
