#include "core/Cp932.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace {

bool is_ascii(std::string_view s) {
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// One iconv descriptor per direction and thread; iconv descriptors are not shareable between threads.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        // iconv_open's failure value is the descriptor (iconv_t)-1.
        if (cd_ != reinterpret_cast<iconv_t>(-1)) { // NOLINT(performance-no-int-to-ptr)
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts in; on a sequence that does not convert, appends replacement and skips skip_bytes of input.
    std::string run(std::string_view in, std::string_view replacement, bool utf8_input) {
        std::string out;
        out.reserve(in.size() * 3 / 2 + 8);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t src_left = in.size();
        std::string buf(4096, '\0');
        while (src_left > 0) {
            char* dst = buf.data();
            std::size_t dst_left = buf.size();
            const std::size_t r = iconv(cd_, &src, &src_left, &dst, &dst_left);
            out.append(buf.data(), buf.size() - dst_left);
            if (r != static_cast<std::size_t>(-1)) {
                continue;
            }
            if (errno == E2BIG) {
                continue;
            }
            // EILSEQ or EINVAL: skip one character of input.
            std::size_t skip = 1;
            if (utf8_input) {
                const auto lead = static_cast<unsigned char>(*src);
                skip = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
                skip = std::min(skip, src_left);
            }
            out += replacement;
            src += skip;
            src_left -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t cd_;
};

} // namespace

namespace cp932 {

std::string to_utf8(std::string_view bytes) {
    if (is_ascii(bytes)) {
        return std::string(bytes);
    }
    thread_local Converter conv("UTF-8", "CP932");
    return conv.run(bytes, "\xEF\xBF\xBD", false);
}

std::string from_utf8(std::string_view utf8) {
    if (is_ascii(utf8)) {
        return std::string(utf8);
    }
    thread_local Converter conv("CP932", "UTF-8");
    return conv.run(utf8, "?", true);
}

std::optional<std::string> to_utf8_exactly(std::string_view bytes) {
    std::string text = to_utf8(bytes);
    if (text.find("\xEF\xBF\xBD") != std::string::npos) {
        return std::nullopt;
    }
    return text;
}

} // namespace cp932

std::size_t utf8_length(std::string_view s) {
    std::size_t n = 0;
    for (char c : s) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++n;
        }
    }
    return n;
}

std::string_view utf8_right(std::string_view s, std::size_t n) {
    std::size_t start = s.size();
    for (std::size_t taken = 0; taken < n && start > 0; ++taken) {
        do {
            --start;
        } while (start > 0 && (static_cast<unsigned char>(s[start]) & 0xC0) == 0x80);
    }
    return s.substr(start);
}
