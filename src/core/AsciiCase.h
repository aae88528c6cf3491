#pragma once

#include <string>
#include <string_view>

// Case in the ASCII letters only, as file names on a stick, script words and URL schemes compare: bytes of
// Japanese characters are never changed.
[[nodiscard]] char ascii_lower(char c);
[[nodiscard]] std::string ascii_lower(std::string s);
[[nodiscard]] bool equal_ignoring_case(std::string_view a, std::string_view b);
