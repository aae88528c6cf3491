#pragma once

class Recorder;

// One poll of the card reader and all that follows from it: a stamp for a card, or the clock jobs (the
// daily reset, the transfer times, the per-minute refresh) without one. Ends the program with a message
// on a failure it cannot go on from.
void get_card_idm(Recorder& rec);
