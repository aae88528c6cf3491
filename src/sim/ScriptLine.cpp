#include "sim/ScriptLine.h"

#include <charconv>

ScriptLine split_script_line(std::string_view line) {
    ScriptLine out;
    std::size_t i = 0;
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (i < line.size() && blank(line[i])) {
        ++i;
    }
    if (i == line.size() || line[i] == '#') {
        return out;
    }
    while (i < line.size()) {
        if (blank(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) {
                out.error = "閉じていない引用符があります";
                out.words.clear();
                return out;
            }
            out.words.emplace_back(line.substr(i + 1, close - i - 1));
            i = close + 1;
            continue;
        }
        std::size_t end = i;
        while (end < line.size() && !blank(line[end])) {
            ++end;
        }
        out.words.emplace_back(line.substr(i, end - i));
        i = end;
    }
    return out;
}

std::optional<std::int64_t> parse_duration(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::int64_t total = 0;
    while (!text.empty()) {
        std::int64_t n = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
        if (ec != std::errc() || end == text.data() || n < 0 || n > 1'000'000'000) {
            return std::nullopt;
        }
        text.remove_prefix(static_cast<std::size_t>(end - text.data()));
        std::int64_t unit = 0;
        if (text.rfind("ms", 0) == 0) {
            unit = 1;
            text.remove_prefix(2);
        } else if (!text.empty() && (text[0] == 'd' || text[0] == 'h' || text[0] == 'm' || text[0] == 's')) {
            unit = text[0] == 'd' ? 86'400'000 : text[0] == 'h' ? 3'600'000 : text[0] == 'm' ? 60'000 : 1000;
            text.remove_prefix(1);
        } else {
            return std::nullopt;
        }
        total += n * unit;
        if (total > 366LL * 86'400'000) {
            return std::nullopt; // more than a year in one wait is a typo
        }
    }
    return total;
}
