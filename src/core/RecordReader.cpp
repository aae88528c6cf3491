#include "core/RecordReader.h"

#include "core/TextFile.h"

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// Reads the records of one line into out.
void records_of_line(std::string_view line, std::vector<std::string>& out) {
    std::size_t i = 0;
    for (;;) {
        while (i < line.size() && is_blank(line[i])) {
            ++i;
        }
        if (i < line.size() && line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            const std::size_t end = close == std::string_view::npos ? line.size() : close;
            out.emplace_back(line.substr(i + 1, end - i - 1));
            const std::size_t comma = close == std::string_view::npos ? std::string_view::npos : line.find(',', close);
            if (comma == std::string_view::npos) {
                return;
            }
            i = comma + 1;
            continue;
        }
        const std::size_t comma = line.find(',', i);
        if (comma == std::string_view::npos) {
            out.emplace_back(line.substr(std::min(i, line.size())));
            return;
        }
        out.emplace_back(line.substr(i, comma - i));
        i = comma + 1;
    }
}

} // namespace

std::vector<std::string> read_records(std::string_view text) {
    std::vector<std::string> out;
    for (const auto& line : textfile::split_lines(text)) {
        records_of_line(line, out);
    }
    return out;
}
