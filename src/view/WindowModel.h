#pragma once

#include "app/recorder/Recorder.h"
#include "view/FmMain.h"

// Writes the whole window model from the recorder's parts as they stand: the store, the mode, the clock, the
// read shown, the last read, the board (through BoardView). Nothing is read back from the model. Until the
// start-up's first look the window keeps its design texts.
void show_state(const Recorder& r, FmMain& form);

// The window model of the recorder as it stands: what the simulator prints and the tests look at.
[[nodiscard]] FmMain window_of(const Recorder& r);
