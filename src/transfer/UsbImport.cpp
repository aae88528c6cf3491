#include "transfer/UsbImport.h"

#include "app/Recorder.h"
#include "core/Cp932.h"
#include "core/ErrorNumber.h"
#include "core/PrivateFolder.h"
#include "core/TextFile.h"
#include "lists/MemberList.h"
#include "transfer/DriveType.h"
#include "transfer/StickPath.h"

#include <cerrno>
#include <cstdio>
#include <map>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* listing_name = "usb_out.txt";

[[noreturn]] void unexpected_error(Recorder& rec, const char* routine) {
    rec.ui.message(MessageIcon::Exclamation, MessageButtons::Ok, std::string("想定外のエラーがでました。") + routine);
    rec.end_program();
}

void ensure_system_folder(const Recorder& rec) {
    std::error_code ec;
    if (!fs::is_directory(rec.paths.zerbanto(), ec)) {
        ec = make_private_folder(rec.paths.root() / "zerbanto");
        if (ec) {
            throw RuntimeError(error_from_errno(ec.value()));
        }
    }
}

void delete_listing(const Recorder& rec) {
    const fs::path listing = rec.paths.file(listing_name);
    if (std::remove(listing.c_str()) != 0 && errno != ENOENT) {
        throw RuntimeError(error_from_errno(errno));
    }
}

void append_lines(const fs::path& file, const std::vector<ListedFile>& files) {
    std::FILE* f = std::fopen(file.c_str(), "ab");
    if (f == nullptr) {
        throw RuntimeError(error_from_errno(errno));
    }
    bool ok = true;
    for (const ListedFile& lf : files) {
        const std::string bytes = cp932::from_utf8(lf.text) + "\r\n";
        ok = ok && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    }
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        throw RuntimeError(ErrorNumber::PathFileAccess);
    }
}

// A line of nothing but blanks (tabs and other white space count as text).
bool blank(std::string_view s) {
    return s.find_first_not_of(' ') == std::string_view::npos;
}

// The text a listed name reads back as once it has been through the listing's code page.
std::string as_read_back(const std::string& text) {
    return cp932::to_utf8(cp932::from_utf8(text));
}

// The list is read from the stick without following a link there; the copy is the owner's alone.
void replace_member_list(Recorder& rec, const fs::path& from) {
    const int from_fd = stickpath::open_file(rec.services.drives.drives(), from);
    if (from_fd < 0) {
        throw RuntimeError(error_from_errno(errno));
    }
    const Status st = textfile::copy_fd_atomic(from_fd, rec.paths.member_list());
    ::close(from_fd);
    if (!st) {
        throw RuntimeError(st.error());
    }
}

} // namespace

void Get_From_USB(Recorder& rec) {
    const auto listed = Search_USB_Drive2(rec);
    chk_usbdir_file2(rec, listed);
}

std::vector<ListedFile> list_usb_member_files(Recorder& rec, const Drive& drive) {
    auto files = list_member_files(drive);
    append_lines(rec.paths.file(listing_name), files);
    rec.ui.process_events();
    return files;
}

std::vector<ListedFile> Search_USB_Drive2(Recorder& rec) {
    std::vector<ListedFile> listed;
    try {
        ensure_system_folder(rec);
        delete_listing(rec);
        int sticks = 0;
        for (const Drive& d : rec.services.drives.drives()) {
            if (is_usb_stick(d)) {
                ++sticks;
                auto files = list_usb_member_files(rec, d);
                listed.insert(listed.end(), files.begin(), files.end());
            }
        }
        if (sticks == 0) {
            rec.ui.message(MessageIcon::Critical, MessageButtons::Ok, "USBメモリが見つかりません");
        }
    } catch (const std::exception&) {
        unexpected_error(rec, "Search_USB_Drive2");
    }
    return listed;
}

void chk_usbdir_file2(Recorder& rec, const std::vector<ListedFile>& listed) {
    std::map<std::string, fs::path> file_of_line;
    for (const ListedFile& lf : listed) {
        file_of_line.emplace(as_read_back(lf.text), lf.path);
    }
    try {
        textfile::LineReader reader;
        if (auto st = reader.open(rec.paths.file(listing_name)); !st) {
            if (st.error() == ErrorNumber::FileNotFound) {
                return;
            }
            throw RuntimeError(st.error());
        }
        std::string line;
        while (reader.next(line)) {
            const std::string question = "メンバーリストを \n" + line + "\nと入替えて良いですが ?";
            if (rec.ui.message(MessageIcon::Exclamation, MessageButtons::YesNo, question) != MessageAnswer::Yes ||
                blank(line)) {
                continue;
            }
            const auto known = file_of_line.find(line);
            replace_member_list(rec, known != file_of_line.end()
                                         ? known->second
                                         : path_of_drive_text(rec.services.drives.drives(), line));
            get_member_list(rec);
            break;
        }
    } catch (const std::exception&) {
        unexpected_error(rec, "chk_usbdir_file2");
    }
}
