#pragma once

struct RecorderState;

// In connected mode, fetches the store's shift plan and writes today's planned members into the first
// board rows, and the plan's title into lbl_shift. The demo, stand-alone, takes the copy on disk.
void get_shift_list(RecorderState& s);
