#include "transfer/MountTable.h"

#include <charconv>
#include <optional>

namespace {

std::vector<std::string_view> split_fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start <= line.size()) {
        const std::size_t end = line.find(' ', start);
        const std::size_t stop = end == std::string_view::npos ? line.size() : end;
        if (stop > start) {
            fields.push_back(line.substr(start, stop - start));
        }
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return fields;
}

std::optional<int> parse_number(std::string_view text) {
    int value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || ptr != text.data() + text.size() || value < 0) {
        return std::nullopt;
    }
    return value;
}

bool is_octal(char c) {
    return c >= '0' && c <= '7';
}

// id parent major:minor root mount-point options [optional fields...] - fs-type source super-options
std::optional<MountEntry> parse_line(std::string_view line) {
    const auto fields = split_fields(line);
    std::size_t dash = 6;
    while (dash < fields.size() && fields[dash] != "-") {
        ++dash;
    }
    if (fields.size() < 6 || dash + 1 >= fields.size()) {
        return std::nullopt;
    }
    const std::string_view dev = fields[2];
    const std::size_t colon = dev.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const auto major = parse_number(dev.substr(0, colon));
    const auto minor = parse_number(dev.substr(colon + 1));
    if (!major || !minor || !parse_number(fields[0]) || !parse_number(fields[1])) {
        return std::nullopt;
    }
    MountEntry e;
    e.major = *major;
    e.minor = *minor;
    e.root = decode_mount_escapes(fields[3]);
    e.mount_point = decode_mount_escapes(fields[4]);
    e.fs_type = decode_mount_escapes(fields[dash + 1]);
    e.source = dash + 2 < fields.size() ? decode_mount_escapes(fields[dash + 2]) : std::string();
    return e;
}

} // namespace

std::string decode_mount_escapes(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && is_octal(field[i + 1]) && is_octal(field[i + 2]) &&
            is_octal(field[i + 3])) {
            const int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            out += static_cast<char>(value & 0xFF);
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<MountEntry> parse_mountinfo(std::string_view text) {
    std::vector<MountEntry> entries;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        if (auto e = parse_line(text.substr(start, end - start))) {
            entries.push_back(std::move(*e));
        }
        start = end + 1;
    }
    return entries;
}
