#pragma once

#include "core/Paths.h"
#include "core/Result.h"

#include <filesystem>
#include <system_error>

// The recorder's folders hold names and card IDs of the staff: only the user the recorder runs as may
// look into them, also when they were made earlier with a wider mode.
[[nodiscard]] std::error_code make_private_folder(const std::filesystem::path& folder);

// The system folder of the data folder, made private when missing; a path that does not lead there is the
// platform's path-not-found.
[[nodiscard]] Status ensure_system_folder(const Paths& paths);
