#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// A fresh folder for one test, removed with everything in it at the end of the test.
class TempRoot {
public:
    TempRoot();
    ~TempRoot();
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    [[nodiscard]] std::filesystem::path zerbanto() const { return path_ / "zerbanto"; }
    // Writes raw bytes to a file below the root (folders created).
    void write_bytes(const std::filesystem::path& relative, std::string_view bytes) const;
    [[nodiscard]] std::string read_bytes(const std::filesystem::path& relative) const;

private:
    std::filesystem::path path_;
};

// The bytes of any file; empty when it cannot be read.
[[nodiscard]] std::string file_bytes(const std::filesystem::path& file);

// Text in UTF-8 as the files hold it: code page 932 with CR LF after every line.
[[nodiscard]] std::string cp932_lines(std::initializer_list<std::string_view> lines);
