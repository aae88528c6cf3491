// Line splitting: split_lines on decoded text and LineReader on the file give the same lines, and no line
// holds a line end.
#include "FuzzRoot.h"
#include "core/Cp932.h"
#include "core/TextFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {
const FuzzRoot& root() {
    static const FuzzRoot r;
    return r;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = textfile::split_lines(cp932::to_utf8(bytes));
    for (const auto& line : lines) {
        fuzz_check(line.find_first_of("\r\n") == std::string::npos, "a line holds no line end");
    }

    const auto path = root().zerbanto() / "lines.txt";
    root().write("zerbanto/lines.txt", bytes);
    // Small blocks put line ends, and the two bytes of a CR LF, on the edges between blocks.
    textfile::LineReader reader(size == 0 ? 1 : 1 + data[0] % 8);
    fuzz_check(static_cast<bool>(reader.open(path)), "LineReader opens a plain file");
    std::vector<std::string> read;
    std::string line;
    while (reader.next(line)) {
        read.push_back(line);
        fuzz_check(read.size() <= size, "LineReader ends");
    }
    fuzz_check(read == lines, "LineReader and split_lines agree");

    const auto whole = textfile::read_lines(path);
    fuzz_check(whole && *whole == lines, "read_lines and split_lines agree");
    return 0;
}
