#include "app/UsbCommands.h"

#include "app/ErrorMessages.h"
#include "app/MemberListLoad.h"
#include "app/RecorderState.h"
#include "core/PrivateFolder.h"
#include "transfer/DriveType.h"
#include "transfer/UsbExport.h"
#include "transfer/UsbImport.h"

#include <exception>

namespace {

const char* const no_stick_message = "USBメモリが見つかりません";

// The routine names stand in the messages as the shop's screens show them.
constexpr const char* search_import = "Search_USB_Drive2";
constexpr const char* check_import = "chk_usbdir_file2";
constexpr const char* search_export = "Search_OutUSB_Drive";
constexpr const char* copy_export = "Chk_server_file";

[[noreturn]] void unexpected_error(RecorderState& s, const char* routine) {
    end_with_message(s, MessageIcon::Exclamation, error_messages::unexpected(routine));
}

// A step of a USB command whose failure, returned or thrown, ends the program under the routine's name.
template <class F> auto or_unexpected(RecorderState& s, const char* routine, F&& f) {
    try {
        auto r = f();
        if (!r) {
            unexpected_error(s, routine);
        }
        return *r;
    } catch (const std::exception&) {
        unexpected_error(s, routine);
    }
}

// One step of the export: an error after which the export goes on is skipped, any other ends the program.
void export_step(RecorderState& s, const Status& st) {
    if (!st && !export_goes_on_after(st.error())) {
        unexpected_error(s, search_export);
    }
}

void export_to(RecorderState& s, const Drive& drive) {
    s.log.close();
    const auto failure = copy_log_to_stick(log_path(s), s.store.store_code, s.clock.now(), drive);
    if (failure && failure->in_copy) {
        unexpected_error(s, copy_export);
    }
    if (failure) {
        export_step(s, failure->number);
    }
    export_step(s, open_log(s));
    choose_mode(s, StampMode::ShiftIn);
}

} // namespace

void import_member_list_from_usb(RecorderState& s) {
    const StickListing listing =
        or_unexpected(s, search_import, [&] { return list_stick_member_files(s.paths, s.services.drives, s.ui); });
    if (listing.sticks == 0) {
        s.ui.message(MessageIcon::Critical, MessageButtons::Ok, no_stick_message);
    }
    const bool replaced = or_unexpected(s, check_import, [&] {
        return replace_member_list_from_listing(s.paths, s.services.drives, s.ui, listing.files);
    });
    if (replaced) {
        load_member_list_at_start(s);
    }
}

void export_log_to_usb(RecorderState& s) {
    export_step(s, ensure_system_folder(s.paths));
    int sticks = 0;
    for (const Drive& d : s.services.drives.drives()) {
        if (!is_usb_stick(d)) {
            continue;
        }
        ++sticks;
        const std::string question = "勤怠データをドライブ " + d.name + " に出力して良いですか ?";
        if (s.ui.message(MessageIcon::Exclamation, MessageButtons::YesNo, question) == MessageAnswer::Yes) {
            export_to(s, d);
        }
    }
    if (sticks == 0) {
        s.ui.message(MessageIcon::Critical, MessageButtons::Ok, no_stick_message);
    }
}
