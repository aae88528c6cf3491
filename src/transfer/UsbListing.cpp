#include "transfer/UsbListing.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace {

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool less_ignoring_case(const std::string& a, const std::string& b) {
    const bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                   [](char x, char y) { return lower(x) < lower(y); });
    const bool greater = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                                      [](char x, char y) { return lower(x) < lower(y); });
    return less || (!greater && a < b);
}

bool ends_with_ignoring_case(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(), s.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char x, char y) { return lower(x) == lower(y); });
}

bool letter_drive(const Drive& drive) {
    return drive.name.size() == 1 &&
           ((drive.name[0] >= 'A' && drive.name[0] <= 'Z') || (drive.name[0] >= 'a' && drive.name[0] <= 'z'));
}

// A name that would break the listing's one-path-per-line shape.
bool has_line_break(const std::string& name) {
    return name.find_first_of("\r\n") != std::string::npos;
}

struct Found {
    std::string name;
    fs::file_time_type written;
};

void walk(const Drive& drive, const fs::path& folder, std::vector<std::string>& components,
          std::vector<ListedFile>& out) {
    std::vector<Found> files;
    std::vector<std::string> folders;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (has_line_break(name)) {
            continue;
        }
        std::error_code type_ec;
        const fs::file_status st = it->symlink_status(type_ec);
        if (type_ec) {
            continue;
        }
        if (fs::is_directory(st)) {
            folders.push_back(name);
        } else if (fs::is_regular_file(st) && is_member_file_name(name)) {
            std::error_code time_ec;
            files.push_back({name, it->last_write_time(time_ec)});
        }
    }
    std::sort(files.begin(), files.end(), [](const Found& a, const Found& b) {
        return a.written != b.written ? a.written > b.written : less_ignoring_case(a.name, b.name);
    });
    std::sort(folders.begin(), folders.end(), less_ignoring_case);
    for (const Found& f : files) {
        components.push_back(f.name);
        out.push_back({drive_path_text(drive, components), folder / f.name});
        components.pop_back();
    }
    for (const std::string& name : folders) {
        components.push_back(name);
        walk(drive, folder / name, components, out);
        components.pop_back();
    }
}

} // namespace

bool is_member_file_name(std::string_view name) {
    return name.size() >= 8 && lower(name[0]) == 'e' && name.substr(1, 3) == "99_" &&
           ends_with_ignoring_case(name, ".csv");
}

std::vector<ListedFile> list_member_files(const Drive& drive) {
    std::vector<ListedFile> out;
    std::vector<std::string> components;
    walk(drive, drive.root, components, out);
    return out;
}

std::string drive_path_text(const Drive& drive, const std::vector<std::string>& components) {
    const bool letter = letter_drive(drive);
    const char sep = letter ? '\\' : '/';
    std::string text = letter ? drive.name + ":" : drive.name;
    if (!text.empty() && text.back() == sep) {
        text.pop_back();
    }
    for (const auto& c : components) {
        text += sep;
        text += c;
    }
    return text;
}

fs::path path_of_drive_text(const std::vector<Drive>& drives, std::string_view text) {
    const Drive* best = nullptr;
    std::size_t best_len = 0;
    for (const Drive& d : drives) {
        const std::string prefix = drive_path_text(d, {}) + (letter_drive(d) ? "\\" : "/");
        const bool match = letter_drive(d) ? text.size() >= prefix.size() && lower(text[0]) == lower(prefix[0]) &&
                                                 text.substr(1, prefix.size() - 1) == prefix.substr(1)
                                           : text.substr(0, prefix.size()) == prefix;
        if (match && prefix.size() > best_len) {
            best = &d;
            best_len = prefix.size();
        }
    }
    if (best == nullptr) {
        return fs::path(std::string(text));
    }
    std::string rest(text.substr(best_len));
    if (letter_drive(*best)) {
        std::replace(rest.begin(), rest.end(), '\\', '/');
    }
    return best->root / rest;
}
