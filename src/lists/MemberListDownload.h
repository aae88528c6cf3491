#pragma once

class Recorder;

// Connected mode: fetches a fresh member list from the head office over the list on disk, or keeps the old
// one with a message; ends the program when there is no list at all.
void refresh_member_list(Recorder& rec);
