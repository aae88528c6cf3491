#pragma once

#include "core/Result.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

class FmMain;

// Reads the settings file into the main window's labels (company, store code, store name) and the next free
// transfer-time slots. The error number when the file cannot be opened (FileNotFound when it is missing);
// nothing is changed then.
[[nodiscard]] Status read_settings(const std::filesystem::path& file, FmMain& form,
                                   std::array<std::string, 3>& tensou_time);

namespace settings {

// The value of a settings record: the text after its last "=", without leading and trailing spaces.
[[nodiscard]] std::string record_value(std::string_view record);

// What a transfer-time value becomes: a time of day "h:mm:ss" (12:15 gives 12:15:00), an empty text for a
// date without a time of day, or nullopt when the value is neither a date nor a time.
[[nodiscard]] std::optional<std::string> transfer_time_text(std::string_view value);

} // namespace settings
