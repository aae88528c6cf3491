#include "check/Problems.h"

#include <algorithm>

void Problems::error(const std::string& file, int line, std::string message) {
    list_.push_back({file, line, Kind::Error, std::move(message)});
}

void Problems::note(const std::string& file, int line, std::string message) {
    list_.push_back({file, line, Kind::Note, std::move(message)});
}

bool Problems::any_error() const {
    return std::any_of(list_.begin(), list_.end(), [](const Problem& p) { return p.kind == Kind::Error; });
}

void Problems::print(std::ostream& out) const {
    // Each file's problems by line, the file as a whole first; files in the order checked.
    std::vector<Problem> sorted = list_;
    for (auto first = sorted.begin(); first != sorted.end();) {
        const auto last = std::find_if(first, sorted.end(), [&](const Problem& p) { return p.file != first->file; });
        std::stable_sort(first, last, [](const Problem& a, const Problem& b) { return a.line < b.line; });
        first = last;
    }
    for (const Problem& p : sorted) {
        out << p.file;
        if (p.line > 0) {
            out << ':' << p.line;
        }
        out << ": " << (p.kind == Kind::Note ? "注意: " : "") << p.message << '\n';
    }
}
