#pragma once

struct RecorderState;

// (Formerly get_shift_list.) In connected mode, fetches the store's shift plan and writes today's planned
// members into the first board rows, and the plan's title (lbl_shift). The demo, stand-alone, takes the copy
// on disk.
void load_todays_shift_plan(RecorderState& s);
