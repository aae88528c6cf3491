#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits text into records the way the platform's sequential input reads them: leading blanks (spaces
// and tabs) of a record are skipped; a record that begins with a double quote runs to the next double
// quote (what follows it up to the next comma or line end is dropped); any other record ends at the
// first comma or at the end of the line. An empty line gives one empty record.
[[nodiscard]] std::vector<std::string> read_records(std::string_view text);
