#pragma once

#include "app/start/Options.h"
#include "app/start/SingleInstance.h"
#include "dialogs/UserInterface.h"

#include <cstdint>
#include <filesystem>
#include <string>

// Taking the data folder at start, before anything is read or written there: the folder must be there (an
// explicitly given root is never made, so that a data disk that is not mounted does not get an empty store
// of its own), writable and guarded against a second copy. The default folders are made on first use.
struct DataFolder {
    enum class Outcome { Taken, Running, Refused };
    Outcome outcome = Outcome::Refused;
    std::string message; // Refused: why, naming the folder. Taken: a warning to show before going on, or empty
};

// A few days of log of a busy store, and room for the copies of the exit and the sticks.
constexpr std::uintmax_t low_space_bytes = std::uintmax_t{50} << 20;

[[nodiscard]] DataFolder take_data_folder(const Options& options, SingleInstance& instance,
                                          std::uintmax_t min_free = low_space_bytes);

inline constexpr const char* already_running_message = "タイムレコーダーは既に起動しています。";

// Tells what taking the folder came to: why it was refused, that another copy holds it, or the warning.
void tell_data_folder(UserInterface& ui, const DataFolder& taken);

// The warning shown when the folder's disk has less than min_free bytes free; empty otherwise.
[[nodiscard]] std::string low_space_warning(const std::filesystem::path& folder, std::uintmax_t min_free);
