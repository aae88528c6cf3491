#include "lists/ShiftPlan.h"

#include "app/Recorder.h"

void get_shift_list(Recorder&) {}
