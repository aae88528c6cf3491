#pragma once

struct RecorderState;

// The question of a card the member list does not know.
inline constexpr const char* unregistered_question = "カード違い\n\nこのまま 一時的に登録しますか?";

// One poll of the card reader and all that follows from it: the daily reset when a new business day has
// begun, then a stamp for a card, or the clock jobs (the transfer times, the per-minute refresh) without
// one. Ends the program with a message on a failure it cannot go on from. (Formerly get_card_idm, the name
// its failure messages still carry.)
void poll_card_and_run_clock_jobs(RecorderState& s);

// Between two seconds: a card the reader has waiting is taken now, with the same rules as at the change of
// the second (the clock shown is its stamp time); without one nothing happens. The clock jobs wait for the
// second.
void take_waiting_card(RecorderState& s);
