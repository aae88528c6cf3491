#pragma once

struct RecorderState;

// (Formerly get_actionmap.) Reads the settings file into the main window's labels and the transfer times. A
// missing file leaves the design texts when stand-alone and brings up the store setup when connected;
// anything unexpected ends the program with a message.
void load_settings(RecorderState& s);
