// The Linux mount table /proc/self/mountinfo: any text parses to a table without a failure, and names
// written the way the kernel writes them (blank, tab, line feed and backslash as octal escapes) are read
// back exactly, so that no field keeps an escape sequence or loses a byte.
#include "FuzzRoot.h"
#include "transfer/MountTable.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// The kernel's escaping of a name in the mount table.
std::string escaped(std::string_view name) {
    static const char digits[] = "01234567";
    std::string out;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\') {
            out += '\\';
            out += digits[(u >> 6) & 7];
            out += digits[(u >> 3) & 7];
            out += digits[u & 7];
        } else {
            out += c;
        }
    }
    return out;
}

std::size_t line_count(std::string_view text) {
    std::size_t n = 1;
    for (const char c : text) {
        n += c == '\n' ? 1 : 0;
    }
    return n;
}

void check_any_text(std::string_view text) {
    const auto entries = parse_mountinfo(text);
    fuzz_check(entries.size() <= line_count(text), "at most one mount a line");
    for (const auto& e : entries) {
        fuzz_check(e.major >= 0 && e.minor >= 0, "device numbers are not negative");
        fuzz_check(!e.root.empty() && !e.mount_point.empty() && !e.fs_type.empty(), "a mount has its fields");
        fuzz_check(e.mount_point.size() <= text.size() && e.root.size() <= text.size(), "decoding never grows");
    }
}

// The input split at NUL into names for root, mount point, type and source (a missing one is "x"), with
// the device number from the first bytes.
void check_kernel_lines(std::string_view text) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (names.size() < 4) {
        const auto nul = text.find('\0', start);
        std::string name(text.substr(std::min(start, text.size()),
                                     nul == std::string_view::npos ? std::string_view::npos : nul - start));
        names.push_back(name.empty() ? "x" : name);
        start = nul == std::string_view::npos ? text.size() + 1 : nul + 1;
    }
    const int major = text.empty() ? 8 : static_cast<unsigned char>(text[0]);
    const std::string line = "36 25 " + std::to_string(major) + ":1 " + escaped(names[0]) + " " + escaped(names[1]) +
                             " rw,relatime shared:1 master:2 - " + escaped(names[2]) + " " + escaped(names[3]) +
                             " rw,errors=remount-ro";
    const std::string table = "22 1 0:21 / /proc rw - proc proc rw\n" + line + "\n";
    const auto entries = parse_mountinfo(table);
    fuzz_check(entries.size() == 2, "a kernel line is one mount");
    const MountEntry& e = entries[1];
    fuzz_check(e.major == major && e.minor == 1, "the device number is read");
    fuzz_check(e.root == names[0], "the root reads back as written");
    fuzz_check(e.mount_point == names[1], "the mount point reads back as written");
    fuzz_check(e.fs_type == names[2], "the type reads back as written");
    fuzz_check(e.source == names[3], "the source reads back as written");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    check_any_text(text);
    check_kernel_lines(text);
    return 0;
}
