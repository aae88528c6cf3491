#pragma once

class Recorder;

// Replays the stamps of the current business day from the attendance log onto the board and leaves the
// log open for appending.
void restore_board(Recorder& rec);
