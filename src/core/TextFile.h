#pragma once

#include "core/Result.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Text files as the recorder keeps them: code page 932, lines ended by CR LF. Inside the program text is
// UTF-8. Readers take CR LF, LF and CR alike and never fail on bytes that do not decode.
namespace textfile {

// Splits decoded text into lines at CR LF, LF or CR; a final line end does not start another line.
[[nodiscard]] std::vector<std::string> split_lines(std::string_view text);

// The whole file, decoded. FileNotFound for a missing file; PathFileAccess for a folder or anything else that
// is not a regular file (a FIFO, a device), which is never waited on. LineReader and copy_file_atomic alike.
[[nodiscard]] Result<std::string> read_text(const std::filesystem::path& path);
[[nodiscard]] Result<std::vector<std::string>> read_lines(const std::filesystem::path& path);

// The files the recorder keeps hold names and card IDs: only their owner reads them.
constexpr std::filesystem::perms owner_only = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;

// Writes the lines, each ended by CR LF, to a file beside the target and renames it over the target
// once it is complete and on disk: a reader sees the old file or the new one, never a part.
[[nodiscard]] Status write_lines_atomic(const std::filesystem::path& path, const std::vector<std::string>& lines,
                                        std::filesystem::perms perms = owner_only);

// Copies a file byte for byte the same way, in blocks: to a temporary name beside the target, then renamed.
[[nodiscard]] Status copy_file_atomic(const std::filesystem::path& from, const std::filesystem::path& to);

// The same from an open file, to a file of the owner only.
[[nodiscard]] Status copy_fd_atomic(int from_fd, const std::filesystem::path& to);
// The same from an open file to the entry name of the open folder dir_fd. The copy is made with perms, or
// without them with the mode new files get (0666), as on a stick; the umask can narrow either, never widen. The
// temporary name is created with O_EXCL | O_NOFOLLOW, so a link planted under it leads nowhere.
[[nodiscard]] Status copy_fd_atomic(int from_fd, int dir_fd, const std::string& name,
                                    std::optional<std::filesystem::perms> perms);

// The name a replacement is written under before it is renamed: the target's name + ".tmp" + the process ID.
[[nodiscard]] std::string temporary_name(const std::string& name);
// Whether a file name is one that temporary_name gives: a killed recorder can leave it behind, incomplete.
[[nodiscard]] bool is_temporary_name(std::string_view name);
// Removes the files of the folder whose names are temporary names. Only for a folder whose recorder holds it;
// a symbolic link in the folder's place is not followed.
void remove_temporaries(const std::filesystem::path& folder);

// Reads a file line by line with memory independent of its size.
// A line longer than max_line bytes is given as an empty line, however long it is, so that one line of
// garbage cannot take the memory of its size; every reader already passes over a line it cannot use.
class LineReader {
public:
    static constexpr std::size_t default_block = std::size_t{1} << 20;
    static constexpr std::size_t max_line = std::size_t{64} << 10;
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
    void skip_rest_of_line();
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
