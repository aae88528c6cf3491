#pragma once

struct RecorderState;

// (Formerly get_actionmap.) Reads the settings file into the store's identity and transfer times. A missing
// file leaves the defaults (the store T99) when stand-alone and brings up the store setup when connected;
// anything unexpected ends the program with a message.
void load_settings(RecorderState& s);
