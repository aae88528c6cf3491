#pragma once

class Recorder;

// Refreshes the member list from the head office when connected, then loads it into the member table and
// its date line into lbl_member_date. Ends the program when there is no list to load.
void get_member_list(Recorder& rec);
