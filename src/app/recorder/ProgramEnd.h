#pragma once

#include "dialogs/UserInterface.h"

#include <string>

// Thrown inside the recorder's parts to end the program at once; the event's entry point (Recorder) catches it,
// stops polling and closes the log. It never leaves app/: the domain reports failures as values.
struct ProgramEnd {
    // Ended by a failure of card stamping (the log could not take a stamp, the reader's component is missing):
    // the programs end with a status that says so.
    bool failed = false;
};

// A message with OK, then the end of the program.
[[noreturn]] void end_with_message(UserInterface& ui, MessageIcon icon, const std::string& text, bool failed = false);
