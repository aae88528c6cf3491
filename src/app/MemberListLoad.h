#pragma once

struct RecorderState;

// Refreshes the member list from the head office when connected, then loads it into the member table and
// its date line into lbl_member_date. Ends the program when there is no list to load.
void get_member_list(RecorderState& s);

// The refresh with its messages: without a fresh copy the list on disk is used after a message; without
// either the program ends.
void refresh_member_list_or_end(RecorderState& s);
