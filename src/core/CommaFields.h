#pragma once

#include <string_view>
#include <vector>

// The fields of a line of the head office's lists, split at every comma; there is no quoting. A line
// without a comma is one field, an empty line one empty field.
[[nodiscard]] std::vector<std::string_view> split_commas(std::string_view line);
