#include "core/Trim.h"

namespace {
std::string_view trim_any(std::string_view text, std::string_view blanks) {
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}
} // namespace

std::string_view trim_spaces(std::string_view text) {
    return trim_any(text, " ");
}

std::string_view trim_blanks(std::string_view text) {
    return trim_any(text, " \t");
}
