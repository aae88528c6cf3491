#pragma once

#include "core/Result.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The store as the recorder knows it before any settings file is read: the window's design texts, which the
// recorder keeps (and files its log under) when it runs stand-alone without settings.
inline constexpr const char* default_company = "Corvale";
inline constexpr const char* default_store_code = "T99";
inline constexpr const char* default_store_name = "本店";

// What the settings file says: the store's identity (lbl_company, lbl_MiseID, lbl_tenmei) and the two times of
// day at which the log is closed and reopened ("h:mm:ss"; empty when none). A key the file lacks keeps its
// default.
struct StoreSettings {
    std::string company = default_company;
    std::string store_code = default_store_code;
    std::string store_name = default_store_name;
    std::array<std::string, 2> transfer_times;
};

// Reads the settings file: its records over the defaults, the "F転送" records into the free transfer-time slots
// in file order. The error number when the file cannot be opened (FileNotFound when it is missing).
[[nodiscard]] Result<StoreSettings> read_settings(const std::filesystem::path& file);

namespace settings {

// The value of a settings record: the text after its last "=", without leading and trailing spaces.
[[nodiscard]] std::string record_value(std::string_view record);

// What a transfer-time value becomes: a time of day "h:mm:ss" (12:15 gives 12:15:00), an empty text for a
// date without a time of day, or nullopt when the value is neither a date nor a time.
[[nodiscard]] std::optional<std::string> transfer_time_text(std::string_view value);

} // namespace settings
