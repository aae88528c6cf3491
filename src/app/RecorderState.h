#pragma once

#include "app/Connection.h"
#include "app/Options.h"
#include "board/BoardState.h"
#include "core/DateTime.h"
#include "core/Paths.h"
#include "core/Result.h"
#include "core/UserInterface.h"
#include "lists/MemberTable.h"
#include "settings/Keypad.h"
#include "settings/SettingsFile.h"
#include "settings/StoreSetup.h"
#include "settings/YesNoDialog.h"
#include "stamping/AttendanceLog.h"
#include "stamping/CardReader.h"
#include "stamping/Sounds.h"
#include "stamping/StampMemory.h"
#include "stamping/StampMode.h"
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

// The clock as lbl_Disp_time and lbl_disp_date show it.
struct ShownClock {
    std::optional<DateTime> second; // the second shown ("h:mm:ss"); none: "停止中". A tick in another second polls.
    std::optional<DateTime> day;    // the date shown; none: empty. Stopping the clock leaves the date.
    bool stopped_colour = true;     // red from a stop until a mode button gives the clock its colour back
};

// A read as lbl_Read_Status and lbl_Read_Name show it: "◎" and the member's name, for at least a second, also
// when the read ended a dialog the clock stood still for.
struct ShownRead {
    std::string name;
    DateTime at;
};

// What the recorder's routines share for the whole run: the store and its settings, the day's board, the
// mode, the clock and the read shown, the member table, the log channel and the dialogs. Only app/ sees it
// whole; the domain's functions get the part they work on. The window model is written from it (WindowModel)
// and never read back.
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

    StoreSettings store;     // the store's identity and transfer times, as the settings file gives them
    std::string member_date; // the member list's date line (lbl_member_date)
    std::string shift_title; // the shift plan's title line (lbl_shift)
    BoardState board;        // the board's day
    StampMode mode = StampMode::ShiftIn;
    bool polling = false; // the card reader is polled once a second (Timer1)
    ShownClock clock_shown;
    std::optional<ShownRead> read_shown;  // none once cleared
    std::optional<std::string> name_font; // the name lbl_Read_Name last showed, whose font it keeps
    // The window's first look has been given at start-up: until then it shows its design texts.
    bool laid_out = false;
    bool minimised = false;
    MemberTable members;
    AttendanceLog log;
    YesNoDialog uf_2;
    Keypad uf_10key{members};
    StoreSetup uf_initial;
    StampMemory stamp_memory;
    // The minute of the last refresh of the elapsed times (lbl_min_stat); none before the first.
    std::optional<int> refreshed_minute;

    bool ended = false;
    // Ended by a failure of card stamping (the log could not take a stamp, the reader's component is missing):
    // the programs end with a status that says so.
    bool failed = false;
};

// The attendance log of the store.
[[nodiscard]] std::filesystem::path log_path(const RecorderState& s);
// Opens the store's log for appending on the log channel (closing it first).
[[nodiscard]] Status open_log(RecorderState& s);
// An empty board, no read shown, no date, and the stopped clock: the next tick polls again, whatever its second.
void clear_board_and_clock(RecorderState& s);
// Shows the stopped clock: "停止中" in red; no second is shown any more.
void stop_clock(RecorderState& s);
// (Formerly set_mode_in / set_mode_out.) The mode of the next stamps; polling on and the clock's colour back.
void choose_mode(RecorderState& s, StampMode mode);

// Ends the program from inside a routine: polling off, the log closed, no further event runs.
[[noreturn]] void end_program(RecorderState& s);
// A critical message with OK, then the end of the program.
[[noreturn]] void end_with_message(RecorderState& s, MessageIcon icon, const std::string& text);
