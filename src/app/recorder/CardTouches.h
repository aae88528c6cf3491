#pragma once

#include "app/recorder/Panel.h"
#include "board/BoardState.h"
#include "core/Paths.h"
#include "core/Result.h"
#include "dialogs/Keypad.h"
#include "dialogs/UserInterface.h"
#include "dialogs/YesNoDialog.h"
#include "lists/MemberTable.h"
#include "settings/SettingsFile.h"
#include "stamping/AttendanceLog.h"
#include "stamping/CardReader.h"
#include "stamping/Sounds.h"
#include "stamping/StampMemory.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The question of a card the member list does not know.
inline constexpr const char* unregistered_question = "カード違い\n\nこのまま 一時的に登録しますか?";

// A read as lbl_Read_Status and lbl_Read_Name show it: "◎" and the member's name, for at least a second, also
// when the read ended a dialog the clock stood still for.
struct ShownRead {
    std::string name;
    DateTime at;
};

// What the card reader, the clock and the card path use.
struct CardServices {
    Clock& clock;
    UserInterface& ui;
    CardReader& reader;
    Sounds& sounds;
};

// What follows a touch of a card, and what it keeps: the day's board, the attendance log, the stamp memory
// (the last read, the business day of the board), the read shown, the dialogs for a card the member list does
// not know, and the minute of the last refresh of the elapsed times. It reads the store code and the member
// table, and changes the panel's mode and clock at the daily reset and the transfer times.
class CardTouches {
public:
    CardTouches(CardServices services, const Paths& paths, const StoreSettings& store, MemberTable& members,
                Panel& panel);
    CardTouches(const CardTouches&) = delete;
    CardTouches& operator=(const CardTouches&) = delete;

    // One poll of the card reader and all that follows from it: the daily reset when a new business day has
    // begun, then a stamp for a card, or the clock jobs (the transfer times, the per-minute refresh) without
    // one. Ends the program with a message on a failure it cannot go on from. (Formerly get_card_idm, the name
    // its failure messages still carry.)
    void poll_card_and_run_clock_jobs();
    // Between two seconds: a card the reader has waiting is taken now, with the same rules as at the change of
    // the second (the clock shown is its stamp time); without one nothing happens. The clock jobs wait for the
    // second.
    void take_waiting_card();

    // The attendance log of the store.
    [[nodiscard]] std::filesystem::path log_path() const;
    // Opens the store's log for appending (closing it first).
    [[nodiscard]] Status open_log();
    void close_log() { log_.close(); }
    [[nodiscard]] bool log_open() const { return log_.is_open(); }
    // Calls back with each attendance-log line once it is on disk.
    void on_log_line(std::function<void(std::string_view)> appended) { log_.set_on_appended(std::move(appended)); }
    // Whether each line is synced before the stamp is shown (the benchmark measures both).
    void sync_log(bool sync) { log_.set_sync(sync); }

    // The board on the window belongs to the business day of now (the start-up is building it).
    void board_built_at(const DateTime& now) { memory_.board_built_at(now); }
    // An empty board, no read shown, no date, and the stopped clock.
    void clear_day();
    // Replays the stamps of the current business day from the log onto the board,
    // refreshes the times once and leaves the log open for appending. A line it cannot read is skipped. The
    // error number when the log cannot be opened again.
    [[nodiscard]] Status restore_day();

    [[nodiscard]] const BoardState& board() const { return board_; }
    // The board the start-up writes the day's plan into.
    [[nodiscard]] BoardState& board() { return board_; }
    [[nodiscard]] const std::optional<ShownRead>& read_shown() const { return read_shown_; }
    // The name lbl_Read_Name last showed, whose font it keeps.
    [[nodiscard]] const std::optional<std::string>& name_font() const { return name_font_; }
    [[nodiscard]] const StampMemory& memory() const { return memory_; }
    // The minute of the last refresh of the elapsed times (lbl_min_stat); none before the first.
    [[nodiscard]] std::optional<int> refreshed_minute() const { return refreshed_minute_; }
    [[nodiscard]] const YesNoDialog& question() const { return uf_2_; }

private:
    friend struct RecorderParts; // the tests set up what an earlier registration left in the keypad

    struct Stamp;
    void run_poll(bool second_changed);
    [[nodiscard]] Status poll(bool second_changed);
    [[nodiscard]] Status process_card(const std::string& idm, const std::string& time_hm);
    [[nodiscard]] std::optional<Stamp> identify(const std::string& idm);
    [[nodiscard]] std::optional<Stamp> register_card(const std::string& idm);
    [[nodiscard]] std::string stamp_line(const Stamp& stamp, const std::string& idm, const DateTime& now) const;
    [[nodiscard]] Status daily_reset();
    [[nodiscard]] Status reopen_log_in_mode_in();
    [[nodiscard]] Status clock_jobs(const DateTime& now);
    void clear_read_after_a_second(const DateTime& now);
    void show_read(const std::string& name, const DateTime& now);

    CardServices services_;
    const Paths& paths_;
    const StoreSettings& store_;
    MemberTable& members_;
    Panel& panel_;

    BoardState board_;
    AttendanceLog log_;
    StampMemory memory_;
    std::optional<ShownRead> read_shown_;
    std::optional<std::string> name_font_;
    std::optional<int> refreshed_minute_;
    YesNoDialog uf_2_;
    Keypad uf_10key_{members_};
};
