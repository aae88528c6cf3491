#include "core/TextFile.h"

#include "core/Cp932.h"
#include "core/WriteAll.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

Result<std::string> read_bytes(const fs::path& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        return ErrorNumber::PathFileAccess;
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
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

Status replace_with(const fs::path& target, std::string_view bytes, fs::perms perms) {
    fs::path tmp = target;
    tmp += ".tmp" + std::to_string(::getpid());
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return error_from_errno(errno);
    }
    const bool ok = write_all(fd, bytes) && ::fsync(fd) == 0;
    const int err = errno;
    ::close(fd);
    std::error_code ec;
    if (ok) {
        fs::permissions(tmp, perms, ec);
    }
    if (!ok || ::rename(tmp.c_str(), target.c_str()) != 0) {
        const int rename_err = ok ? errno : err;
        fs::remove(tmp, ec);
        return error_from_errno(rename_err);
    }
    sync_parent(target);
    return Done{};
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
    auto bytes = read_bytes(from);
    if (!bytes) {
        return bytes.error();
    }
    return replace_with(
        to, *bytes, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
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
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        return ErrorNumber::PathFileAccess;
    }
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) {
        return error_from_errno(errno);
    }
    // A small file takes a buffer of about its size, not a whole block; fill() grows it if the file grows.
    const auto size = fs::file_size(path, ec);
    constexpr std::uintmax_t small_buffer = 4096;
    buf_.resize(static_cast<std::size_t>(
        std::min<std::uintmax_t>(block_size_, ec ? block_size_ : std::max(size + 1, small_buffer))));
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
        line = std::string_view(data + pos_, at - pos_);
        pos_ = at + 1;
        if (data[at] == '\r' && pos_ < end_ && data[pos_] == '\n') {
            ++pos_;
        }
        return true;
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
