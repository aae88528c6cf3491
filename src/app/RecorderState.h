#pragma once

#include "app/Connection.h"
#include "app/Options.h"
#include "board/BoardState.h"
#include "core/DateTime.h"
#include "core/FmMain.h"
#include "core/Paths.h"
#include "core/Result.h"
#include "core/UserInterface.h"
#include "lists/MemberTable.h"
#include "settings/Keypad.h"
#include "settings/StoreSetup.h"
#include "settings/YesNoDialog.h"
#include "stamping/AttendanceLog.h"
#include "stamping/CardReader.h"
#include "stamping/Sounds.h"
#include "stamping/StampMemory.h"
#include "transfer/DriveList.h"

#include <array>
#include <optional>
#include <string>

// The world the recorder works in, handed to it: the clock, the person at the screen, the reader, the
// speaker and the drives.
struct Services {
    Clock& clock;
    UserInterface& ui;
    CardReader& reader;
    Sounds& sounds;
    DriveList& drives;
};

// What the recorder's routines share for the whole run: the main window's model, the day's typed state
// the model is written from, the member table, the log channel and the dialogs. Only app/ sees it whole;
// the domain's functions get the part they work on.
struct RecorderState {
    RecorderState(Services services, Options options);
    RecorderState(const RecorderState&) = delete;
    RecorderState& operator=(const RecorderState&) = delete;

    Services services;
    Clock& clock;
    UserInterface& ui;
    const Options options;
    const Paths paths;
    const Connection connection;

    FmMain form;
    BoardState board; // the board's day; its rows in the form are written from it
    int inout_mode = 1;
    std::array<std::string, 3> tensou_time;
    MemberTable members;
    AttendanceLog log;
    YesNoDialog uf_2;
    Keypad uf_10key{members};
    StoreSetup uf_initial;
    StampMemory stamp_memory;
    // The second lbl_Disp_time shows ("h:mm:ss"); none while it shows "停止中". A tick in another second polls.
    std::optional<std::string> shown_second;
    // When lbl_Read_Status and lbl_Read_Name were filled by a read; none once they are cleared. They stay at
    // least a second, also when the read ended a dialog the clock stood still for.
    std::optional<DateTime> read_shown_at;
    // The minute of the last refresh of the elapsed times; none before the first.
    std::optional<int> refreshed_minute;

    bool ended = false;
    // Ended by a failure of card stamping (the log could not take a stamp, the reader's component is missing):
    // the programs end with a status that says so.
    bool failed = false;
};

// The attendance log of the store in lbl_MiseID.
[[nodiscard]] std::filesystem::path log_path(const RecorderState& s);
// Opens the store's log for appending on the log channel (closing it first).
[[nodiscard]] Status open_log(RecorderState& s);
// Writes the connection into lbl_type.
void show_connection(RecorderState& s);
// An empty board and the stopped clock: the next tick polls again, whatever its second.
void clear_board_and_clock(RecorderState& s);
// Shows the stopped clock: its text "停止中" in red; no second is shown any more.
void show_stopped_clock(RecorderState& s);

// Ends the program from inside a routine: the timer off, the log closed, no further event runs.
[[noreturn]] void end_program(RecorderState& s);
// A critical message with OK, then the end of the program.
[[noreturn]] void end_with_message(RecorderState& s, MessageIcon icon, const std::string& text);
