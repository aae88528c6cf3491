#pragma once

class Recorder;

// At the exit button: a time-stamped copy of the log into the outbox and, when connected, the upload of
// the outbox.
void Pre_Tensou_STD(Recorder& rec);
