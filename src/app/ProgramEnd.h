#pragma once

// Thrown inside the recorder's routines to end the program at once; the event's entry point (Recorder)
// catches it. It never leaves app/: the domain reports failures as values.
struct ProgramEnd {};
