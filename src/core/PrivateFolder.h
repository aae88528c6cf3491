#pragma once

#include <filesystem>
#include <system_error>

// The recorder's folders hold names and card IDs of the staff: only the user the recorder runs as may
// look into them, also when they were made earlier with a wider mode.
[[nodiscard]] std::error_code make_private_folder(const std::filesystem::path& folder);
