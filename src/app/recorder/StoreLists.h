#pragma once

#include "app/recorder/Connection.h"
#include "app/start/Options.h"
#include "board/BoardState.h"
#include "core/DateTime.h"
#include "core/Paths.h"
#include "dialogs/StoreSetup.h"
#include "dialogs/UserInterface.h"
#include "lists/MemberTable.h"
#include "settings/SettingsFile.h"

#include <string>

// The store as its files give it: the settings (the store's identity and transfer times; without a settings
// file the store T99, default_store_code), the member list with its date line and the shift plan's title.
// The start-up loads them, the USB import the member list again. Without a settings file a connected
// recorder asks for one with the store setup dialog.
class StoreLists {
public:
    StoreLists(Clock& clock, UserInterface& ui, const Options& options, const Paths& paths,
               const Connection& connection);
    StoreLists(const StoreLists&) = delete;
    StoreLists& operator=(const StoreLists&) = delete;

    [[nodiscard]] const StoreSettings& store() const { return store_; }
    [[nodiscard]] const MemberTable& members() const { return members_; }
    // The table a card is registered into from the keypad.
    [[nodiscard]] MemberTable& members() { return members_; }
    [[nodiscard]] const std::string& member_date() const { return member_date_; } // lbl_member_date
    [[nodiscard]] const std::string& shift_title() const { return shift_title_; } // lbl_shift

    // (Formerly get_actionmap.) Reads the settings file into the store's identity and transfer times. A missing
    // file leaves the defaults when stand-alone and brings up the store setup when connected; anything
    // unexpected ends the program with a message.
    void load_settings();
    // (Formerly get_member_list.) Refreshes the member list from the head office when connected, then loads it
    // into the member table and its date line. Ends the program when there is no list to load.
    void load_member_list();
    // The refresh with its messages: without a fresh copy the list on disk is used after a message; without
    // either the program ends.
    void refresh_member_list_or_end();
    // (Formerly get_shift_list.) In connected mode, fetches the store's shift plan and writes today's planned
    // members into the first rows of the board, and keeps the plan's title. The demo, stand-alone, takes the
    // copy on disk.
    void load_todays_shift_plan(BoardState& board);

private:
    void run_store_setup();

    Clock& clock_;
    UserInterface& ui_;
    const Options& options_;
    const Paths& paths_;
    const Connection& connection_;

    StoreSettings store_;
    std::string member_date_;
    std::string shift_title_;
    MemberTable members_;
    StoreSetup uf_initial_;
};
