#include "transfer/StickPath.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace stickpath {

namespace {

constexpr int folder_flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// The names of path below root, or nothing when path does not lie below it.
std::optional<std::vector<std::string>> names_below(const fs::path& root, const fs::path& path) {
    const fs::path rel = path.lexically_normal().lexically_relative(root.lexically_normal());
    if (rel.empty() || *rel.begin() == "..") {
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (const auto& part : rel) {
        if (part != ".") {
            names.push_back(part.string());
        }
    }
    return names;
}

// Opens name in the folder dir_fd; a missing folder is made first when make is set.
int open_in(int dir_fd, const std::string& name, int flags, bool make) {
    int fd = ::openat(dir_fd, name.c_str(), flags);
    if (fd < 0 && errno == ENOENT && make && ::mkdirat(dir_fd, name.c_str(), 0777) == 0) {
        fd = ::openat(dir_fd, name.c_str(), flags);
    }
    return fd;
}

// Walks the names from the drive's root; the last is opened with last_flags.
int walk(const fs::path& root, const std::vector<std::string>& names, int last_flags, bool make) {
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (std::size_t i = 0; fd >= 0 && i < names.size(); ++i) {
        const bool last = i + 1 == names.size();
        const int next = open_in(fd, names[i], last ? last_flags : folder_flags, make);
        const int err = errno;
        ::close(fd);
        fd = next;
        errno = err;
    }
    return fd;
}

} // namespace

int open_folder(const fs::path& drive_root, const fs::path& folder, bool make) {
    const auto names = names_below(drive_root, drive_root / folder);
    if (!names) {
        errno = EACCES;
        return -1;
    }
    return walk(drive_root, *names, folder_flags, make);
}

int open_file(const std::vector<Drive>& drives, const fs::path& file) {
    const Drive* best = nullptr;
    std::size_t best_len = 0;
    for (const Drive& d : drives) {
        const auto names = names_below(d.root, file);
        const std::size_t len = d.root.lexically_normal().string().size();
        if (names && !names->empty() && len >= best_len) {
            best = &d;
            best_len = len;
        }
    }
    constexpr int file_flags = O_RDONLY | O_NOFOLLOW | O_CLOEXEC;
    if (best == nullptr) {
        return ::open(file.c_str(), file_flags);
    }
    return walk(best->root, *names_below(best->root, file), file_flags, false);
}

} // namespace stickpath
