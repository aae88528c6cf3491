#pragma once

#include <ostream>
#include <string>
#include <vector>

// What the check found in the files, in the order found. An error changes what a store does with the file
// (a member who cannot stamp, a plan row that is not shown); a note changes nothing but may surprise.
class Problems {
public:
    enum class Kind { Error, Note };
    struct Problem {
        std::string file;
        int line = 0; // 0: the file as a whole
        Kind kind = Kind::Error;
        std::string message; // UTF-8
    };

    void error(const std::string& file, int line, std::string message);
    void note(const std::string& file, int line, std::string message);
    [[nodiscard]] bool any_error() const;
    [[nodiscard]] const std::vector<Problem>& all() const { return list_; }
    // "file:line: message", "file:line: 注意: message" for a note, "file: message" for the file as a whole.
    void print(std::ostream& out) const;

private:
    std::vector<Problem> list_;
};
