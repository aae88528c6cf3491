#include "app/recorder/Transfers.h"

#include "app/recorder/ErrorMessages.h"
#include "app/recorder/FtpJobOf.h"
#include "app/recorder/ProgramEnd.h"
#include "core/PrivateFolder.h"
#include "transfer/DriveType.h"
#include "transfer/LogUpload.h"
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

} // namespace

Transfers::Transfers(Clock& clock, UserInterface& ui, DriveList& drives, const Options& options, const Paths& paths,
                     const Connection& connection, StoreLists& lists, CardTouches& card, Panel& panel)
    : clock_(clock), ui_(ui), drives_(drives), options_(options), paths_(paths), connection_(connection), lists_(lists),
      card_(card), panel_(panel) {}

void Transfers::unexpected_error(const char* routine) {
    end_with_message(ui_, MessageIcon::Exclamation, error_messages::unexpected(routine));
}

// A step of a USB command whose failure, returned or thrown, ends the program under the routine's name.
template <class F> auto Transfers::or_unexpected(const char* routine, F&& f) {
    try {
        auto r = f();
        if (!r) {
            unexpected_error(routine);
        }
        return *r;
    } catch (const std::exception&) {
        unexpected_error(routine);
    }
}

// One step of the export: an error after which the export goes on is skipped, any other ends the program.
void Transfers::export_step(const Status& st) {
    if (!st && !export_goes_on_after(st.error())) {
        unexpected_error(search_export);
    }
}

void Transfers::export_to(const Drive& drive) {
    card_.close_log();
    const auto failure = copy_log_to_stick(card_.log_path(), lists_.store().store_code, clock_.now(), drive);
    if (failure && failure->in_copy) {
        unexpected_error(copy_export);
    }
    if (failure) {
        export_step(failure->number);
    }
    export_step(card_.open_log());
    panel_.choose_mode(StampMode::ShiftIn);
}

void Transfers::import_member_list_from_usb() {
    const StickListing listing =
        or_unexpected(search_import, [&] { return list_stick_member_files(paths_, drives_, ui_); });
    if (listing.sticks == 0) {
        ui_.message(MessageIcon::Critical, MessageButtons::Ok, no_stick_message);
    }
    const bool replaced = or_unexpected(
        check_import, [&] { return replace_member_list_from_listing(paths_, drives_, ui_, listing.files); });
    if (replaced) {
        lists_.load_member_list();
    }
}

void Transfers::export_log_to_usb() {
    export_step(ensure_system_folder(paths_));
    int sticks = 0;
    for (const Drive& d : drives_.drives()) {
        if (!is_usb_stick(d)) {
            continue;
        }
        ++sticks;
        const std::string question = "勤怠データをドライブ " + d.name + " に出力して良いですか ?";
        if (ui_.message(MessageIcon::Exclamation, MessageButtons::YesNo, question) == MessageAnswer::Yes) {
            export_to(d);
        }
    }
    if (sticks == 0) {
        ui_.message(MessageIcon::Critical, MessageButtons::Ok, no_stick_message);
    }
}

Status Transfers::upload_at_exit() {
    const LogUploadJob job{card_.log_path(), paths_.cortmp(), lists_.store().store_code, clock_.now()};
    if (!connection_.connected()) {
        return upload_logs(job, nullptr);
    }
    const FtpJob session = ftp_job(options_, paths_, lists_.store().company, ui_);
    return upload_logs(job, &session);
}
