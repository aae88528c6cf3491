#pragma once

#include <filesystem>
#include <string_view>

// A private root folder for one fuzzing process, emptied before every input so that no input sees what an
// earlier one left behind. It lives under the system's temporary folder and is removed at exit.
class FuzzRoot {
public:
    FuzzRoot();
    ~FuzzRoot();
    FuzzRoot(const FuzzRoot&) = delete;
    FuzzRoot& operator=(const FuzzRoot&) = delete;

    // Empties the root and creates its zerbanto folder.
    void reset() const;
    // Writes bytes to a file below the root (relative names only; folders are created).
    void write(const std::filesystem::path& relative, std::string_view bytes) const;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    [[nodiscard]] std::filesystem::path zerbanto() const { return path_ / "zerbanto"; }

private:
    std::filesystem::path path_;
};

// True when text is well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
[[nodiscard]] bool is_valid_utf8(std::string_view text);

// Stops the run with a finding when an expectation about the code under test does not hold.
void fuzz_check(bool holds, const char* what);
