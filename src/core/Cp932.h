#pragma once

#include <optional>
#include <string>
#include <string_view>

// Conversion between the files' code page 932 and the program's UTF-8. Bytes that do not decode become
// U+FFFD; characters that code page 932 cannot hold become "?". Neither direction ever fails.
namespace cp932 {
[[nodiscard]] std::string to_utf8(std::string_view cp932_bytes);
[[nodiscard]] std::string from_utf8(std::string_view utf8);
// The text when every byte decodes; nullopt when one does not (it would become U+FFFD): a damaged line.
[[nodiscard]] std::optional<std::string> to_utf8_exactly(std::string_view cp932_bytes);
} // namespace cp932

// Number of characters (code points) in a UTF-8 text: the length the window's rules count.
[[nodiscard]] std::size_t utf8_length(std::string_view utf8);
// The last n characters of a UTF-8 text (all of it when it is shorter): the store code's two in file names.
[[nodiscard]] std::string_view utf8_right(std::string_view utf8, std::size_t n);
