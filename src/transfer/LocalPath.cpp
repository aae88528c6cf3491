#include "transfer/LocalPath.h"

#include "core/Paths.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace localpath {

namespace {

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The names after "c:\", or nullopt when the path is not an absolute path of drive C: made of plain names.
std::optional<std::vector<std::string>> names_of(std::string_view path) {
    if (path.size() < 3 || lower(path[0]) != 'c' || path[1] != ':' || path[2] != '\\') {
        return std::nullopt;
    }
    std::vector<std::string> names;
    std::string_view rest = path.substr(3);
    while (!rest.empty()) {
        const auto sep = rest.find('\\');
        const std::string_view name = rest.substr(0, sep);
        if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos ||
            name.find('\0') != std::string_view::npos) {
            return std::nullopt;
        }
        names.emplace_back(name);
        rest = sep == std::string_view::npos ? std::string_view{} : rest.substr(sep + 1);
    }
    if (names.empty()) {
        return std::nullopt;
    }
    return names;
}

bool match_from(std::string_view p, std::string_view n) {
    if (p.empty()) {
        return n.empty();
    }
    if (p.front() == '*') {
        for (std::size_t skip = 0; skip <= n.size(); ++skip) {
            if (match_from(p.substr(1), n.substr(skip))) {
                return true;
            }
        }
        return false;
    }
    if (n.empty() || (p.front() != '?' && lower(p.front()) != lower(n.front()))) {
        return false;
    }
    return match_from(p.substr(1), n.substr(1));
}

} // namespace

std::optional<fs::path> map(const fs::path& root, std::string_view path) {
    const auto names = names_of(path);
    if (!names) {
        return std::nullopt;
    }
    fs::path p = root;
    for (const auto& name : *names) {
        p = resolve_case_insensitive(p, name);
    }
    return p;
}

bool matches(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*") {
        return true;
    }
    return match_from(pattern, name);
}

std::vector<fs::path> expand(const fs::path& root, std::string_view path) {
    const auto sep = path.rfind('\\');
    if (sep == std::string_view::npos) {
        return {};
    }
    const auto folder = map(root, path.substr(0, sep));
    const std::string_view pattern = path.substr(sep + 1);
    std::vector<fs::path> files;
    if (!folder || pattern.empty()) {
        return files;
    }
    std::error_code ec;
    // The recorder's own folder and its own files: a symbolic link, for the folder or a file in it, could lead
    // to a file the recorder may read but must not send (and then delete) anywhere.
    if (fs::is_symlink(*folder, ec)) {
        return files;
    }
    for (fs::directory_iterator it(*folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code type_ec;
        if (it->symlink_status(type_ec).type() == fs::file_type::regular &&
            matches(pattern, it->path().filename().string())) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace localpath
