#include "core/Paths.h"

#include "core/AsciiCase.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A name from outside (a store code, a listing) never leaves its folder: a separator or NUL in it becomes
// "_", and "." or ".." is not a name.
std::string one_name(std::string_view name) {
    std::string safe(name);
    std::replace(safe.begin(), safe.end(), '/', '_');
    std::replace(safe.begin(), safe.end(), '\0', '_');
    if (safe.empty() || safe == "." || safe == "..") {
        safe.insert(safe.begin(), '_');
    }
    return safe;
}
} // namespace

fs::path resolve_case_insensitive(const fs::path& dir, std::string_view given) {
    const std::string name = one_name(given);
    std::error_code ec;
    fs::path exact = dir / name;
    if (fs::exists(exact, ec)) {
        return exact;
    }
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (equal_ignoring_case(it->path().filename().string(), name)) {
            return it->path();
        }
    }
    return exact;
}

Paths::Paths(fs::path root) : root_(std::move(root)) {}

namespace {

// The running user's home as the password database has it; empty when it has none.
fs::path home_of_user() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buf(static_cast<std::size_t>(size > 0 ? size : 16384));
    passwd pw{};
    passwd* found = nullptr;
    while (::getpwuid_r(::geteuid(), &pw, buf.data(), buf.size(), &found) == ERANGE && buf.size() < (1U << 20)) {
        buf.resize(buf.size() * 2);
    }
    return found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/' ? fs::path(found->pw_dir)
                                                                                   : fs::path();
}

// Never a folder every user may write (such as /tmp): another user could make the folders there first.
std::optional<fs::path> data_home() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/') {
        return fs::path(xdg);
    }
    const auto base = Paths::home();
    return base ? std::optional<fs::path>(*base / ".local" / "share") : std::nullopt;
}

} // namespace

std::optional<fs::path> Paths::home() {
    const char* home = std::getenv("HOME");
    fs::path base = home != nullptr && *home == '/' ? fs::path(home) : home_of_user();
    return base.empty() ? std::nullopt : std::optional<fs::path>(std::move(base));
}

std::optional<fs::path> Paths::default_root() {
    const auto home = data_home();
    return home ? std::optional<fs::path>(*home / "timerecorder") : std::nullopt;
}

std::optional<fs::path> Paths::default_demo_root() {
    const auto home = data_home();
    return home ? std::optional<fs::path>(*home / "timerecorder-demo") : std::nullopt;
}

fs::path Paths::zerbanto() const {
    return resolve_case_insensitive(root_, "zerbanto");
}

fs::path Paths::cortmp() const {
    return resolve_case_insensitive(root_, "cortmp");
}

fs::path Paths::file(std::string_view name) const {
    return resolve_case_insensitive(zerbanto(), name);
}

fs::path Paths::attendance_log(std::string_view store_code) const {
    return file("KLOG_" + std::string(store_code) + ".csv");
}
