#include "transfer/UsbImport.h"

#include "core/Cp932.h"
#include "core/ErrorNumber.h"
#include "core/Paths.h"
#include "core/PrivateFolder.h"
#include "core/TextFile.h"
#include "core/Trim.h"
#include "dialogs/UserInterface.h"
#include "transfer/DriveType.h"
#include "transfer/StickPath.h"

#include <cerrno>
#include <cstdio>
#include <deque>
#include <map>
#include <optional>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* listing_name = "usb_out.txt";

Status delete_listing(const Paths& paths) {
    const fs::path listing = paths.file(listing_name);
    if (std::remove(listing.c_str()) != 0 && errno != ENOENT) {
        return error_from_errno(errno);
    }
    return Done{};
}

Status append_lines(const fs::path& file, const std::vector<ListedFile>& files) {
    std::FILE* f = std::fopen(file.c_str(), "ab");
    if (f == nullptr) {
        return error_from_errno(errno);
    }
    bool ok = true;
    for (const ListedFile& lf : files) {
        const std::string bytes = cp932::from_utf8(lf.text) + "\r\n";
        ok = ok && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    }
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        return ErrorNumber::PathFileAccess;
    }
    return Done{};
}

// A line of nothing but blanks (tabs and other white space count as text).
bool blank(std::string_view s) {
    return trim_spaces(s).empty();
}

// The text a listed name reads back as once it has been through the listing's code page.
std::string as_read_back(const std::string& text) {
    return cp932::to_utf8(cp932::from_utf8(text));
}

// The list is read from the stick without following a link there; the copy is the owner's alone.
Status replace_member_list(const Paths& paths, const std::vector<Drive>& drives, const fs::path& from) {
    const int from_fd = stickpath::open_file(drives, from);
    if (from_fd < 0) {
        return error_from_errno(errno);
    }
    const Status st = textfile::copy_fd_atomic(from_fd, paths.member_list());
    ::close(from_fd);
    return st;
}

// The member lists of one stick, added to the listing file.
Result<std::vector<ListedFile>> list_usb_member_files(const Paths& paths, const Drive& drive, UserInterface& ui) {
    auto files = list_member_files(drive);
    if (auto st = append_lines(paths.file(listing_name), files); !st) {
        return st.error();
    }
    ui.process_events();
    return files;
}

// The first file not yet asked about whose listed name reads back as the line.
std::optional<fs::path> take_first(std::map<std::string, std::deque<fs::path>>& files_of_line,
                                   const std::string& line) {
    const auto it = files_of_line.find(line);
    if (it == files_of_line.end() || it->second.empty()) {
        return std::nullopt;
    }
    fs::path first = std::move(it->second.front());
    it->second.pop_front();
    return first;
}

} // namespace

Result<StickListing> list_stick_member_files(const Paths& paths, const DriveList& drives, UserInterface& ui) {
    StickListing listing;
    if (auto st = ensure_system_folder(paths); !st) {
        return st.error();
    }
    if (auto st = delete_listing(paths); !st) {
        return st.error();
    }
    for (const Drive& d : drives.drives()) {
        if (!is_usb_stick(d)) {
            continue;
        }
        ++listing.sticks;
        auto files = list_usb_member_files(paths, d, ui);
        if (!files) {
            return files.error();
        }
        listing.files.insert(listing.files.end(), files->begin(), files->end());
    }
    return listing;
}

Result<bool> replace_member_list_from_listing(const Paths& paths, const DriveList& drives, UserInterface& ui,
                                              const std::vector<ListedFile>& listed) {
    // Two names may read back the same (characters outside the code page): the lines take the files of their
    // text in listing order, so each question stands for its own file.
    std::map<std::string, std::deque<fs::path>> files_of_line;
    for (const ListedFile& lf : listed) {
        files_of_line[as_read_back(lf.text)].push_back(lf.path);
    }
    textfile::LineReader reader;
    if (auto st = reader.open(paths.file(listing_name)); !st) {
        if (st.error() == ErrorNumber::FileNotFound) {
            return false;
        }
        return st.error();
    }
    std::string line;
    while (reader.next(line)) {
        const std::optional<fs::path> listed_file = take_first(files_of_line, line);
        const std::string question = "メンバーリストを \n" + line + "\nと入替えて良いですが ?";
        if (ui.message(MessageIcon::Exclamation, MessageButtons::YesNo, question) != MessageAnswer::Yes ||
            blank(line)) {
            continue;
        }
        const std::vector<Drive> now = drives.drives(); // the sticks as they are after the question
        const fs::path from = listed_file ? *listed_file : path_of_drive_text(now, line);
        if (auto st = replace_member_list(paths, now, from); !st) {
            return st.error();
        }
        return true;
    }
    return false;
}
