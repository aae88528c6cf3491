// Code page 932 decoding and encoding: any bytes decode to well-formed UTF-8, any text encodes, and text
// that came from the decoder survives the way back unchanged when it holds no replacement character.
#include "FuzzRoot.h"
#include "core/Cp932.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string utf8 = cp932::to_utf8(bytes);
    fuzz_check(is_valid_utf8(utf8), "to_utf8 gives well-formed UTF-8");
    fuzz_check(utf8_length(utf8) <= size, "one character at most per byte");

    const std::string back = cp932::from_utf8(utf8);
    if (utf8.find("\xEF\xBF\xBD") == std::string::npos && utf8.find('?') == std::string::npos) {
        fuzz_check(cp932::to_utf8(back) == utf8, "decoded text survives encoding and decoding");
    }

    // The same bytes taken as UTF-8 from the program's side: whatever they are, encoding must not fail.
    const std::string encoded = cp932::from_utf8(bytes);
    fuzz_check(is_valid_utf8(cp932::to_utf8(encoded)), "encoded text decodes");
    return 0;
}
