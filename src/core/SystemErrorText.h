#pragma once

#include <string>
#include <system_error>

// The reason of a system error in the words the recorder shows its operators: Japanese for the reasons a
// shop meets (no permission, a full disk, a missing or write-protected stick), the system's own text for
// the rest. The same on every platform, since the code is first mapped to its portable meaning.
[[nodiscard]] std::string system_error_text(const std::error_code& ec);
