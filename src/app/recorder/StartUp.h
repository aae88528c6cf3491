#pragma once

#include "app/recorder/CardTouches.h"
#include "app/recorder/Panel.h"
#include "app/recorder/StoreLists.h"

// (Formerly load_main_window, Fm_main's load handler.) The start-up sequence: the settings, the member list,
// the window's first look, the cleared board, the shift plan, the day restored from the log, shift-in mode and
// the open log. A step that fails is skipped without a message (and written to standard error); one that ends
// the program ends it.
void start_up(StoreLists& lists, Panel& panel, CardTouches& card);
