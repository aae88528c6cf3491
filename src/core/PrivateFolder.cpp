#include "core/PrivateFolder.h"

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
