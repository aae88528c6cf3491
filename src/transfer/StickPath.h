#pragma once

#include "transfer/DriveList.h"

#include <filesystem>
#include <vector>

// Files on a removable drive are reached without following any symbolic link below the drive's root: a
// stick is written on other computers, and a link on it (a "Zerbanto" that points into this PC's folders)
// must not lead a copy out of the stick. Each name is opened from the folder before it (openat with
// O_NOFOLLOW). The functions give a descriptor, or -1 with errno set (ELOOP or ENOTDIR for a link).
namespace stickpath {

// The folder below the drive's root, made (with the usual mode) when missing and make is set.
[[nodiscard]] int open_folder(const std::filesystem::path& drive_root, const std::filesystem::path& folder, bool make);

// A file on one of the drives, for reading. A path on none of them is opened as it stands, its last name
// not followed.
[[nodiscard]] int open_file(const std::vector<Drive>& drives, const std::filesystem::path& file);

} // namespace stickpath
