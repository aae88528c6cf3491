#pragma once

#include <optional>
#include <string>
#include <string_view>

// Why the recorder would misread a line of a head-office file, as it holds it: the recorder reads code page
// 932, so a line saved as UTF-8 shows as other characters, and bytes that do not decode become U+FFFD.
// nullopt when the line reads as written.
[[nodiscard]] std::optional<std::string> line_bytes_problem(std::string_view raw);
