#include "core/PrivateFolder.h"

#include "core/ErrorNumber.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::error_code last_error() {
    return {errno, std::generic_category()};
}

} // namespace

int open_private_folder(const std::filesystem::path& folder, std::error_code& ec) {
    ec.clear();
    if (!folder.parent_path().empty()) {
        std::filesystem::create_directories(folder.parent_path(), ec);
        if (ec) {
            return -1;
        }
    }
    if (::mkdir(folder.c_str(), S_IRWXU) != 0 && errno != EEXIST) {
        ec = last_error();
        return -1;
    }
    // The folder itself: a link in its place (ELOOP) or a file (ENOTDIR) is not the recorder's folder.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        ec = last_error();
        return -1;
    }
    struct stat st {};
    // Narrowed only when it is wider: a private folder on a read-only disk is left as it is.
    if (::fstat(fd, &st) != 0 || ((st.st_mode & 07777) != S_IRWXU && ::fchmod(fd, S_IRWXU) != 0)) {
        ec = last_error();
        ::close(fd);
        return -1;
    }
    return fd;
}

std::error_code make_private_folder(const std::filesystem::path& folder) {
    std::error_code ec;
    const int fd = open_private_folder(folder, ec);
    if (fd >= 0) {
        ::close(fd);
    }
    return ec;
}

Status ensure_system_folder(const Paths& paths) {
    std::error_code ec;
    if (std::filesystem::is_directory(paths.zerbanto(), ec)) {
        return Done{};
    }
    if (const auto made = make_private_folder(paths.root() / "zerbanto")) {
        return made.value() == ENOENT ? ErrorNumber::PathNotFound : error_from_errno(made.value());
    }
    return Done{};
}
