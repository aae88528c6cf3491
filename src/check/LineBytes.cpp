#include "check/LineBytes.h"

#include "core/Cp932.h"

namespace {

// The length of the UTF-8 sequence a lead byte starts, 0 for a byte that cannot lead one.
int sequence_length(unsigned char c) {
    if (c >= 0xC2 && c <= 0xDF) {
        return 2;
    }
    if (c >= 0xE0 && c <= 0xEF) {
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        return 4;
    }
    return 0;
}

// Whether the bytes are UTF-8 with at least one character beyond ASCII. Code page 932 text almost never is.
bool looks_like_utf8(std::string_view raw) {
    bool beyond_ascii = false;
    for (std::size_t i = 0; i < raw.size();) {
        const auto c = static_cast<unsigned char>(raw[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        const int n = sequence_length(c);
        if (n == 0 || i + static_cast<std::size_t>(n) > raw.size()) {
            return false;
        }
        for (int k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(raw[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80) {
                return false;
            }
        }
        beyond_ascii = true;
        i += static_cast<std::size_t>(n);
    }
    return beyond_ascii;
}

} // namespace

std::optional<std::string> line_bytes_problem(std::string_view raw) {
    if (looks_like_utf8(raw)) {
        return std::string("UTF-8 で保存された行です。記録機は CP932（シフトJIS）で読むため、文字が化けます");
    }
    if (!cp932::to_utf8_exactly(raw)) {
        return std::string("CP932（シフトJIS）として読めないバイトがあります。記録機ではその文字が化けます");
    }
    return std::nullopt;
}
