#pragma once

#include <stdexcept>
#include <string>

// The run-time error numbers the routines act on; handlers choose what to do by number.
enum class ErrorNumber : int {
    SubscriptOutOfRange = 9,
    TypeMismatch = 13,
    BadFileNameOrNumber = 52,
    FileNotFound = 53,
    PermissionDenied = 70,
    PathFileAccess = 75,
    PathNotFound = 76,
};

[[nodiscard]] constexpr int number_of(ErrorNumber e) {
    return static_cast<int>(e);
}

// A failure raised inside a routine and caught by that routine's own handler (or its caller's), which
// acts on the number.
class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(ErrorNumber n, const std::string& what = {})
        : std::runtime_error(what.empty() ? "error " + std::to_string(number_of(n)) : what), number_(n) {}
    [[nodiscard]] ErrorNumber number() const { return number_; }

private:
    ErrorNumber number_;
};

// The error number that an errno value from a file operation stands for.
[[nodiscard]] ErrorNumber error_from_errno(int err);
