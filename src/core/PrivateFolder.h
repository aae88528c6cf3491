#pragma once

#include "core/Paths.h"
#include "core/Result.h"

#include <filesystem>
#include <system_error>

// The recorder's folders hold names and card IDs of the staff: only the user the recorder runs as may
// look into them, also when they were made earlier with a wider mode. The folder is the last name of the path
// itself, never a symbolic link in its place (whoever can write the folder above could plant one leading
// elsewhere): a link gives ELOOP, a file ENOTDIR. The folders above it are followed and made when missing.
[[nodiscard]] std::error_code make_private_folder(const std::filesystem::path& folder);
// The same, giving the folder opened (O_DIRECTORY) for the *at calls; -1 with ec set when it fails.
[[nodiscard]] int open_private_folder(const std::filesystem::path& folder, std::error_code& ec);

// The system folder of the data folder, made private when missing; a path that does not lead there is the
// platform's path-not-found.
[[nodiscard]] Status ensure_system_folder(const Paths& paths);
