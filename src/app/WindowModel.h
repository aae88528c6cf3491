#pragma once

#include "core/FmMain.h"

struct RecorderState;

// Writes the main window's model from the recorder's state: the store, the clock, the mode, the read, the
// last read, the board (through BoardView) and the polling timer. The one place that writes the model; what
// the state does not yet say (before the start-up's first look) keeps the window's design texts.
void show_state(const RecorderState& s, FmMain& form);
