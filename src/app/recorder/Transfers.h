#pragma once

#include "app/recorder/CardTouches.h"
#include "app/recorder/Connection.h"
#include "app/recorder/Panel.h"
#include "app/recorder/StoreLists.h"
#include "app/start/Options.h"
#include "core/Paths.h"
#include "core/Result.h"
#include "dialogs/UserInterface.h"
#include "transfer/DriveList.h"

// The transfers the shop's staff start: the member list from a USB stick, the log to one, and the logs sent
// at the exit. Each closes the log while it copies it and reopens it after; the member list it brings is
// loaded into the store's lists.
class Transfers {
public:
    Transfers(Clock& clock, UserInterface& ui, DriveList& drives, const Options& options, const Paths& paths,
              const Connection& connection, StoreLists& lists, CardTouches& card, Panel& panel);

    // (Formerly Get_From_USB.) "USBから": looks for member lists on every removable drive, asks per file,
    // copies the first confirmed one over the member list and reloads it.
    void import_member_list_from_usb();
    // (Formerly Search_OutUSB_Drive.) "USBへ": asks per removable drive and copies a time-stamped copy of the
    // log to each confirmed one, then returns to shift-in mode.
    void export_log_to_usb();
    // At the exit button: a time-stamped copy of the log into the outbox and, when connected, the upload of
    // the outbox. The first failure's number; the exit reports none of them.
    [[nodiscard]] Status upload_at_exit();

private:
    [[noreturn]] void unexpected_error(const char* routine);
    template <class F> auto or_unexpected(const char* routine, F&& f);
    void export_step(const Status& st);
    void export_to(const Drive& drive);

    Clock& clock_;
    UserInterface& ui_;
    DriveList& drives_;
    const Options& options_;
    const Paths& paths_;
    const Connection& connection_;
    StoreLists& lists_;
    CardTouches& card_;
    Panel& panel_;
};
