#pragma once

#include <optional>
#include <string>
#include <string_view>

class Recorder;

// Reads the settings file into the main window's labels and the transfer times. A missing file leaves the
// design texts when stand-alone and brings up the store setup when connected; anything unexpected ends
// the program with a message.
void get_actionmap(Recorder& rec);

namespace settings {

// The value of a settings record: the text after its last "=", without leading and trailing spaces.
[[nodiscard]] std::string record_value(std::string_view record);

// What a transfer-time value becomes: a time of day "h:mm:ss" (12:15 gives 12:15:00), an empty text for a
// date without a time of day, or nullopt when the value is neither a date nor a time.
[[nodiscard]] std::optional<std::string> transfer_time_text(std::string_view value);

} // namespace settings
