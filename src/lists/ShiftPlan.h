#pragma once

class Recorder;

// In connected mode, fetches the store's shift plan and writes today's planned members into the first
// board rows, and the plan's title into lbl_shift.
void get_shift_list(Recorder& rec);
