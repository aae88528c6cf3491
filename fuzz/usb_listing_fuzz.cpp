// The listing of a USB stick: a folder tree built from the input (one entry a line: a kind byte, then a
// path whose names may hold any byte but '/' and NUL) is listed as drive E: and as a drive named by its
// mount point. Every member-list file of the tree is listed once, links are not followed, the files of a
// folder come newest first, and each listed text leads back to its file.
#include "FuzzRoot.h"
#include "transfer/UsbListing.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t max_entries = 24;
constexpr std::size_t max_depth = 6;
constexpr std::size_t max_name = 60;

const FuzzRoot& root() {
    static const FuzzRoot r;
    return r;
}

fs::path stick() {
    return root().path() / "stick";
}

// The names of a path: no empty ones, no "." or "..", none longer than max_name, NUL as '_'.
std::vector<std::string> names_of(std::string_view text) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= text.size() && names.size() < max_depth) {
        const auto slash = text.find('/', start);
        std::string name(text.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start));
        name = name.substr(0, max_name);
        for (char& c : name) {
            c = c == '\0' ? '_' : c;
        }
        if (!name.empty() && name != "." && name != "..") {
            names.push_back(name);
        }
        if (slash == std::string_view::npos) {
            break;
        }
        start = slash + 1;
    }
    return names;
}

// Kind byte % 4: 0 a folder, 1 and 2 a file written (kind / 4) % 3 seconds apart, 3 a link to the stick's
// root or to a member-list file.
void make_entry(unsigned char kind, const std::vector<std::string>& names) {
    if (names.empty()) {
        return;
    }
    fs::path p = stick();
    for (const auto& n : names) {
        p /= n;
    }
    std::error_code ec;
    fs::create_directories(p.parent_path(), ec);
    switch (kind % 4) {
    case 0:
        fs::create_directory(p, ec);
        break;
    case 3:
        fs::create_symlink((kind / 4) % 2 == 0 ? stick() : stick() / "E99_target.csv", p, ec);
        break;
    default:
        root().write(fs::relative(p, root().path()), "1,a,b\r\n");
        fs::last_write_time(p, fs::file_time_type{} + std::chrono::hours(500'000) + std::chrono::seconds(kind / 4 % 3),
                            ec);
    }
}

void build_tree(std::string_view bytes) {
    std::error_code ec;
    fs::create_directories(stick(), ec);
    std::size_t start = 0;
    for (std::size_t n = 0; n < max_entries && start < bytes.size(); ++n) {
        const auto end = std::min(bytes.find('\n', start), bytes.size());
        const std::string_view entry = bytes.substr(start, end - start);
        if (!entry.empty()) {
            make_entry(static_cast<unsigned char>(entry[0]), names_of(entry.substr(1)));
        }
        start = end + 1;
    }
}

// Every member-list file in the tree whose path the listing can show on one line, found without the code
// under test.
std::set<fs::path> member_files() {
    std::set<fs::path> found;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(stick(), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string rel = fs::relative(it->path(), stick()).string();
        if (rel.find_first_of("\r\n") != std::string::npos) {
            continue;
        }
        std::error_code st_ec;
        if (fs::is_regular_file(it->symlink_status(st_ec)) && is_member_file_name(it->path().filename().string())) {
            found.insert(it->path());
        }
    }
    return found;
}

void check_listing(const Drive& drive, const std::vector<Drive>& drives, const std::set<fs::path>& expected) {
    const auto listed = list_member_files(drive);
    std::set<fs::path> paths;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const ListedFile& f = listed[i];
        fuzz_check(paths.insert(f.path).second, "a file is listed once");
        fuzz_check(f.text.find_first_of("\r\n") == std::string::npos, "a listed path is one line");
        const bool backslash_in_name = fs::relative(f.path, stick()).string().find('\\') != std::string::npos;
        if (drive.name.size() != 1 || !backslash_in_name) {
            fuzz_check(path_of_drive_text(drives, f.text) == f.path, "a listed text leads back to its file");
        }
        if (i > 0 && listed[i - 1].path.parent_path() == f.path.parent_path()) {
            std::error_code ec;
            fuzz_check(fs::last_write_time(listed[i - 1].path, ec) >= fs::last_write_time(f.path, ec),
                       "the files of a folder come newest first");
        }
    }
    fuzz_check(paths == expected, "every member-list file is listed");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    root().reset();
    build_tree(bytes);
    const std::set<fs::path> expected = member_files();
    const std::vector<Drive> drives{{"E", stick(), 1}, {stick().string(), stick(), 1}};
    for (const Drive& d : drives) {
        check_listing(d, drives, expected);
    }
    return 0;
}
