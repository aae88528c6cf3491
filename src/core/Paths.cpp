#include "core/Paths.h"

#include "core/AsciiCase.h"

#include <algorithm>
#include <cstdlib>

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
    const fs::path exact = dir / name;
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
fs::path data_home() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    return fs::path(home != nullptr ? home : "/tmp") / ".local" / "share";
}
} // namespace

fs::path Paths::default_root() {
    return data_home() / "timerecorder";
}

fs::path Paths::default_demo_root() {
    return data_home() / "timerecorder-demo";
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
