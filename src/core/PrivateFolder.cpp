#include "core/PrivateFolder.h"

#include "core/ErrorNumber.h"

#include <cerrno>
#include <sys/stat.h>

std::error_code make_private_folder(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!ec && ::chmod(folder.c_str(), S_IRWXU) != 0) {
        ec.assign(errno, std::generic_category());
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
