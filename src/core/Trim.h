#pragma once

#include <string_view>

// The text without the spaces at its ends (only the space character: a tab is text). A text of nothing but
// spaces trims to empty.
[[nodiscard]] std::string_view trim_spaces(std::string_view text);

// The text without the spaces and tabs at its ends.
[[nodiscard]] std::string_view trim_blanks(std::string_view text);
