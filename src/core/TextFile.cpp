#include "core/TextFile.h"

#include "core/Cp932.h"
#include "core/RegularFile.h"
#include "core/WriteAll.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace textfile {

std::vector<std::string> split_lines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            continue;
        }
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < text.size()) {
        lines.emplace_back(text.substr(start));
    }
    return lines;
}

namespace {

// A file opened for reading as a stream: regular files only (see RegularFile.h).
std::FILE* open_stream(const fs::path& path) {
    const int fd = regularfile::open_regular(path);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* f = ::fdopen(fd, "rb");
    if (f == nullptr) {
        const int err = errno;
        ::close(fd);
        errno = err;
    }
    return f;
}

Result<std::string> read_bytes(const fs::path& path) {
    std::FILE* f = open_stream(path);
    if (f == nullptr) {
        return error_from_errno(errno);
    }
    std::string bytes;
    std::array<char, 65536> buf{};
    std::size_t n = 0;
    while ((n = std::fread(buf.data(), 1, buf.size(), f)) > 0) {
        bytes.append(buf.data(), n);
    }
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
        return ErrorNumber::PathFileAccess;
    }
    return bytes;
}

using Writer = std::function<bool(int fd)>;

// Writes a replacement under a temporary name in the folder and renames it over name once it is on disk.
Status replace_at(int dir_fd, const std::string& name, std::optional<fs::perms> perms, const Writer& write) {
    const std::string tmp = temporary_name(name);
    constexpr int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    const mode_t mode = perms ? static_cast<mode_t>(*perms & fs::perms::mask) : 0666;
    int fd = ::openat(dir_fd, tmp.c_str(), flags, mode);
    if (fd < 0 && errno == EEXIST) { // left by an earlier process of the same ID
        ::unlinkat(dir_fd, tmp.c_str(), 0);
        fd = ::openat(dir_fd, tmp.c_str(), flags, mode);
    }
    if (fd < 0) {
        return error_from_errno(errno);
    }
    const bool ok = write(fd) && ::fsync(fd) == 0;
    int err = errno;
    ::close(fd);
    if (!ok || ::renameat(dir_fd, tmp.c_str(), dir_fd, name.c_str()) != 0) {
        err = ok ? errno : err;
        ::unlinkat(dir_fd, tmp.c_str(), 0);
        return error_from_errno(err);
    }
    (void)::fsync(dir_fd);
    return Done{};
}

// The folder of path, opened for the *at calls.
int open_folder_of(const fs::path& path) {
    const fs::path folder = path.parent_path();
    return ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

Status replace_with(const fs::path& target, std::string_view bytes, fs::perms perms) {
    const int dir_fd = open_folder_of(target);
    if (dir_fd < 0) {
        return error_from_errno(errno);
    }
    const Status st =
        replace_at(dir_fd, target.filename().string(), perms, [bytes](int fd) { return write_all(fd, bytes); });
    ::close(dir_fd);
    return st;
}

bool copy_stream(int from_fd, int to_fd) {
    std::array<char, 65536> buf{};
    for (;;) {
        const ssize_t n = ::read(from_fd, buf.data(), buf.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n == 0;
        }
        if (!write_all(to_fd, std::string_view(buf.data(), static_cast<std::size_t>(n)))) {
            return false;
        }
    }
}

} // namespace

Result<std::string> read_text(const fs::path& path) {
    auto bytes = read_bytes(path);
    if (!bytes) {
        return bytes.error();
    }
    return cp932::to_utf8(*bytes);
}

Result<std::vector<std::string>> read_lines(const fs::path& path) {
    auto text = read_text(path);
    if (!text) {
        return text.error();
    }
    return split_lines(*text);
}

Status write_lines_atomic(const fs::path& path, const std::vector<std::string>& lines, fs::perms perms) {
    std::string bytes;
    for (const auto& line : lines) {
        bytes += cp932::from_utf8(line);
        bytes += "\r\n";
    }
    return replace_with(path, bytes, perms);
}

Status copy_file_atomic(const fs::path& from, const fs::path& to) {
    const int from_fd = regularfile::open_regular(from);
    if (from_fd < 0) {
        return error_from_errno(errno);
    }
    const Status st = copy_fd_atomic(from_fd, to);
    ::close(from_fd);
    return st;
}

Status copy_fd_atomic(int from_fd, const fs::path& to) {
    const int dir_fd = open_folder_of(to);
    if (dir_fd < 0) {
        return error_from_errno(errno);
    }
    const Status st = copy_fd_atomic(from_fd, dir_fd, to.filename().string(), owner_only);
    ::close(dir_fd);
    return st;
}

Status copy_fd_atomic(int from_fd, int dir_fd, const std::string& name, std::optional<fs::perms> perms) {
    return replace_at(dir_fd, name, perms, [from_fd](int to_fd) { return copy_stream(from_fd, to_fd); });
}

std::string temporary_name(const std::string& name) {
    return name + ".tmp" + std::to_string(::getpid());
}

bool is_temporary_name(std::string_view name) {
    const auto dot = name.rfind(".tmp");
    if (dot == std::string_view::npos || dot + 4 == name.size()) {
        return false;
    }
    const std::string_view digits = name.substr(dot + 4);
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void remove_temporaries(const fs::path& folder) {
    // The folder itself, never a link put in its place: a killed recorder's copies are removed where it made them.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (dir == nullptr) {
        if (fd >= 0) {
            ::close(fd);
        }
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st {};
        if (is_temporary_name(entry->d_name) && ::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            !S_ISDIR(st.st_mode)) {
            ::unlinkat(fd, entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

namespace {
// The first CR or LF in data[from, to), or to. Two library scans beat a loop over every byte.
std::size_t line_end(const char* data, std::size_t from, std::size_t to) {
    const auto* lf = static_cast<const char*>(std::memchr(data + from, '\n', to - from));
    const std::size_t stop = lf == nullptr ? to : static_cast<std::size_t>(lf - data);
    const auto* cr = static_cast<const char*>(std::memchr(data + from, '\r', stop - from));
    return cr == nullptr ? stop : static_cast<std::size_t>(cr - data);
}
} // namespace

LineReader::~LineReader() {
    close();
}

Status LineReader::open(const fs::path& path) {
    close();
    file_ = open_stream(path);
    if (file_ == nullptr) {
        return error_from_errno(errno);
    }
    // A small file takes a buffer of about its size, not a whole block; fill() grows it if the file grows.
    struct stat st {};
    const bool known = ::fstat(::fileno(file_), &st) == 0;
    const auto size = static_cast<std::uintmax_t>(st.st_size);
    constexpr std::uintmax_t small_buffer = 4096;
    buf_.resize(static_cast<std::size_t>(
        std::min<std::uintmax_t>(block_size_, known ? std::max(size + 1, small_buffer) : block_size_)));
    pos_ = end_ = 0;
    eof_ = false;
    return Done{};
}

void LineReader::close() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

bool LineReader::fill() {
    if (eof_ || file_ == nullptr) {
        return false;
    }
    if (pos_ > 0) {
        std::copy(buf_.begin() + static_cast<std::ptrdiff_t>(pos_), buf_.begin() + static_cast<std::ptrdiff_t>(end_),
                  buf_.begin());
        end_ -= pos_;
        pos_ = 0;
    }
    if (end_ == buf_.size()) {
        buf_.resize(buf_.size() * 2);
    }
    const std::size_t n = std::fread(buf_.data() + end_, 1, buf_.size() - end_, file_);
    if (n == 0) {
        eof_ = true;
        return false;
    }
    end_ += n;
    return true;
}

bool LineReader::next(std::string& line) {
    std::string_view raw;
    if (!next_raw(raw)) {
        return false;
    }
    line = cp932::to_utf8(raw);
    return true;
}

bool LineReader::next_raw(std::string_view& line) {
    std::size_t offset = 0; // bytes of the current line already scanned, counted from pos_
    for (;;) {
        const char* data = buf_.data();
        std::size_t at = line_end(data, pos_ + offset, end_);
        if (at == end_ || (data[at] == '\r' && at + 1 == end_ && !eof_)) {
            // The line goes on in the next block, or the LF of a CR LF may stand there.
            offset = at - pos_;
            if (offset > max_line) {
                skip_rest_of_line();
                line = {};
                return true;
            }
            if (fill()) {
                continue;
            }
            at = pos_ + offset; // the same place, counted from where fill left the data
            data = buf_.data();
            if (at == end_) { // the end of the file, the last line without a line end
                if (offset == 0) {
                    return false;
                }
                line = std::string_view(data + pos_, offset);
                pos_ = end_;
                return true;
            }
        }
        line = at - pos_ > max_line ? std::string_view{} : std::string_view(data + pos_, at - pos_);
        pos_ = at + 1;
        if (data[at] == '\r' && pos_ < end_ && data[pos_] == '\n') {
            ++pos_;
        }
        return true;
    }
}

// Drops the current line, from pos_ to its line end, without keeping its bytes.
void LineReader::skip_rest_of_line() {
    for (;;) {
        pos_ = end_;
        if (!fill()) {
            return;
        }
        const std::size_t at = line_end(buf_.data(), pos_, end_);
        if (at == end_) {
            continue;
        }
        const bool cr = buf_[at] == '\r';
        pos_ = at + 1;
        if (cr && pos_ == end_) {
            (void)fill(); // the LF of a CR LF, if any, now stands first
        }
        if (cr && pos_ < end_ && buf_[pos_] == '\n') {
            ++pos_;
        }
        return;
    }
}

void sync_parent(const fs::path& path) {
    const fs::path folder = path.parent_path();
    const int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        (void)::fsync(dfd);
        ::close(dfd);
    }
}

} // namespace textfile
