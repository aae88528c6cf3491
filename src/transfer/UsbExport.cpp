#include "transfer/UsbExport.h"

#include "app/Recorder.h"
#include "board/Board.h"
#include "core/ErrorNumber.h"
#include "core/Paths.h"
#include "core/PrivateFolder.h"
#include "core/TextFile.h"
#include "core/TimeText.h"
#include "transfer/DriveType.h"
#include "transfer/StickPath.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

[[noreturn]] void unexpected_error(Recorder& rec, const char* routine) {
    rec.ui.message(MessageIcon::Exclamation, MessageButtons::Ok, std::string("想定外のエラーがでました。") + routine);
    rec.end_program();
}

// Errors after which the export goes on with its next step instead of stopping.
bool skipped(ErrorNumber n) {
    return n == ErrorNumber::FileNotFound || n == ErrorNumber::SubscriptOutOfRange;
}

// The last two characters (not bytes) of a text, or all of it when it is shorter.
std::string_view last_two_characters(std::string_view text) {
    std::size_t pos = text.size();
    for (int taken = 0; taken < 2 && pos > 0; ++taken) {
        do {
            --pos;
        } while (pos > 0 && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80);
    }
    return text.substr(pos);
}

// A missing system folder is the path-not-found of the platform.
void make_system_folder(const fs::path& folder) {
    if (const auto ec = make_private_folder(folder)) {
        throw RuntimeError(ec.value() == ENOENT ? ErrorNumber::PathNotFound : error_from_errno(ec.value()));
    }
}

// The export folder on the stick, made when missing; a link in its place is refused. A stick that is gone is
// the path-not-found of the platform.
int open_export_folder(const Drive& drive) {
    const std::string name = resolve_case_insensitive(drive.root, "Zerbanto").filename().string();
    const int fd = stickpath::open_folder(drive.root, name, true);
    if (fd < 0) {
        throw RuntimeError(errno == ENOENT ? ErrorNumber::PathNotFound : error_from_errno(errno));
    }
    return fd;
}

// One step of the export: an error in it is skipped or reported under the routine's name.
template <class F> void export_step(Recorder& rec, F&& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        if (!skipped(e.number())) {
            unexpected_error(rec, "Search_OutUSB_Drive");
        }
    } catch (const std::exception&) {
        unexpected_error(rec, "Search_OutUSB_Drive");
    }
}

void export_to(Recorder& rec, const Drive& drive) {
    export_step(rec, [&] { rec.form.Timer1 = false; });
    export_step(rec, [&] { rec.log.close(); });
    export_step(rec, [&] { Chk_server_file(rec, drive); });
    export_step(rec, [&] { rec.open_log(); });
    export_step(rec, [&] { set_mode_in(rec.form, rec.inout_mode); });
}

} // namespace

std::string export_copy_name(std::string_view store_code, const DateTime& now) {
    return "K" + std::string(last_two_characters(store_code)) + "_" + timetext::yymmdd(now) + "_" +
           timetext::hhnn(now) + ".CSV";
}

void Chk_server_file(Recorder& rec, const Drive& drive) {
    const fs::path source = rec.log_path();
    const std::string name = export_copy_name(rec.form.lbl_MiseID.text, rec.clock.now());
    std::error_code ec;
    if (!fs::exists(source, ec)) {
        return; // no log to copy: the step is skipped without a word
    }
    const int folder_fd = open_export_folder(drive); // a failure here is the caller's to report
    const int source_fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    const Status st = source_fd < 0 ? Status(error_from_errno(errno))
                                    : textfile::copy_fd_atomic(source_fd, folder_fd, name, std::nullopt);
    if (source_fd >= 0) {
        ::close(source_fd);
    }
    ::close(folder_fd);
    if (!st) {
        if (skipped(st.error()) && !fs::exists(source, ec)) {
            return; // the log went away during the copy
        }
        unexpected_error(rec, "Chk_server_file");
    }
}

void Search_OutUSB_Drive(Recorder& rec) {
    export_step(rec, [&] {
        std::error_code ec;
        if (!fs::is_directory(rec.paths.zerbanto(), ec)) {
            make_system_folder(rec.paths.root() / "zerbanto");
        }
    });
    int sticks = 0;
    for (const Drive& d : rec.services.drives.drives()) {
        if (!is_usb_stick(d)) {
            continue;
        }
        ++sticks;
        const std::string question = "勤怠データをドライブ " + d.name + " に出力して良いですか ?";
        if (rec.ui.message(MessageIcon::Exclamation, MessageButtons::YesNo, question) == MessageAnswer::Yes) {
            export_to(rec, d);
        }
    }
    if (sticks == 0) {
        rec.ui.message(MessageIcon::Critical, MessageButtons::Ok, "USBメモリが見つかりません");
    }
}
