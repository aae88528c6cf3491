#pragma once

struct RecorderState;

// (Formerly get_member_list.) Refreshes the member list from the head office when connected, then loads it
// into the member table and its date line (lbl_member_date). Ends the program when there is no list to load.
void load_member_list_at_start(RecorderState& s);

// The refresh with its messages: without a fresh copy the list on disk is used after a message; without
// either the program ends.
void refresh_member_list_or_end(RecorderState& s);
