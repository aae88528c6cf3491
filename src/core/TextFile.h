#pragma once

#include "core/Result.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Text files as the recorder keeps them: code page 932, lines ended by CR LF. Inside the program text is
// UTF-8. Readers take CR LF, LF and CR alike and never fail on bytes that do not decode.
namespace textfile {

// Splits decoded text into lines at CR LF, LF or CR; a final line end does not start another line.
[[nodiscard]] std::vector<std::string> split_lines(std::string_view text);

// The whole file, decoded. FileNotFound for a missing file; PathFileAccess for a folder.
[[nodiscard]] Result<std::string> read_text(const std::filesystem::path& path);
[[nodiscard]] Result<std::vector<std::string>> read_lines(const std::filesystem::path& path);

// Writes the lines, each ended by CR LF, to a file beside the target and renames it over the target
// once it is complete and on disk: a reader sees the old file or the new one, never a part.
[[nodiscard]] Status write_lines_atomic(const std::filesystem::path& path, const std::vector<std::string>& lines,
                                        std::filesystem::perms perms = std::filesystem::perms::owner_read |
                                                                       std::filesystem::perms::owner_write |
                                                                       std::filesystem::perms::group_read |
                                                                       std::filesystem::perms::others_read);

// Copies a file byte for byte the same way: to a temporary name beside the target, then renamed.
[[nodiscard]] Status copy_file_atomic(const std::filesystem::path& from, const std::filesystem::path& to);

// Reads a file line by line with memory independent of its size.
class LineReader {
public:
    static constexpr std::size_t default_block = std::size_t{1} << 20;
    // Reads the file in blocks of block_size bytes (at least 1); a longer line grows the buffer.
    explicit LineReader(std::size_t block_size = default_block) : block_size_(block_size < 1 ? 1 : block_size) {}
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    [[nodiscard]] Status open(const std::filesystem::path& path);
    // The next line, decoded, without its line end; false at the end of the file.
    bool next(std::string& line);
    // The next line as the file holds it (code page 932), without its line end. The view stays valid until
    // the next call; a reader that looks at a few fields of many lines decodes only the lines it keeps.
    bool next_raw(std::string_view& line);
    void close();

private:
    bool fill();
    std::size_t block_size_;
    std::FILE* file_ = nullptr;
    std::vector<char> buf_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
};

// Puts the folder entry of path (a file just created or renamed there) on disk. Best effort: a filesystem
// that cannot sync a folder has nothing to lose there.
void sync_parent(const std::filesystem::path& path);

} // namespace textfile
