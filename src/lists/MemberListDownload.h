#pragma once

class Recorder;

// In connected mode, replaces E99_member.csv with a fresh copy from the head office before it is loaded.
// When no copy arrives the list on disk is used after a message; without one the program ends.
void refresh_member_list(Recorder& rec);
