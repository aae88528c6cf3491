#pragma once

#include "app/Options.h"
#include "board/BoardState.h"
#include "core/DateTime.h"
#include "core/FmMain.h"
#include "core/Paths.h"
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
#include <string>

// Thrown to end the program at once from anywhere inside an event; the event's entry point catches it.
struct ProgramEnd {};

// The world the recorder works in, handed to it: the clock, the person at the screen, the reader, the
// speaker and the drives.
struct Services {
    Clock& clock;
    UserInterface& ui;
    CardReader& reader;
    Sounds& sounds;
    DriveList& drives;
};

// The running recorder: the main window's model, the state shared by its routines for the whole run, and
// the window's events. The routines of every module work on it; the windows and the simulator drive it
// only through its event methods.
class Recorder {
public:
    Recorder(Services services, Options options);
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // The start routine once the single-instance test has passed: the load sequence, then the connection
    // setting ("StandAlone", or the server given on the command line).
    void start();

    // Window events. Each returns normally, also when the program has ended (see ended()).
    void timer_tick();         // Timer1, every 100 ms while enabled
    void cmd_in_click();       // "シフト　イン"
    void cmd_out_click();      // "シフト　アウト"
    void cmd_func_click();     // "終了"
    void cmd_from_usb_click(); // "USBから"
    void cmd_to_usb_click();   // "USBへ"
    void close();              // the window closed by other means: ends without the upload

    [[nodiscard]] bool ended() const { return ended_; }
    [[nodiscard]] bool uploaded() const { return uploaded_; }

    // Ends the program from inside a routine: the log is closed and no further event runs.
    [[noreturn]] void end_program();

    // What the start routine and the settings loader put into lbl_type: "StandAlone", or the server given
    // on the command line.
    [[nodiscard]] std::string connection_setting() const {
        return options.server.empty() ? std::string(standalone) : options.server;
    }
    // The connection setting: true when lbl_type names a server.
    [[nodiscard]] bool connected() const { return form.lbl_type.text != standalone; }
    // The attendance log of the store in lbl_MiseID.
    [[nodiscard]] std::filesystem::path log_path() const { return paths.attendance_log(form.lbl_MiseID.text); }
    // Opens the store's log for appending on the log channel; PermissionDenied and the like are thrown.
    void open_log();

    static constexpr const char* standalone = "StandAlone";

    Services services;
    Clock& clock;
    UserInterface& ui;
    const Options options;
    const Paths paths;

    FmMain form;
    BoardState board;
    int inout_mode = 1;
    std::array<std::string, 3> tensou_time;
    MemberTable members;
    AttendanceLog log;
    YesNoDialog uf_2;
    Keypad uf_10key{members};
    StoreSetup uf_initial;
    StampMemory stamp_memory;

private:
    void load(); // Fm_main's load handler
    template <class F> void run_event(F&& f);

    bool ended_ = false;
    bool uploaded_ = false;
    bool exiting_ = false;   // the exit button's upload is under way
    int events_running_ = 0; // more than one while a transfer or listing lets window events run
};
