#include "core/TextFile.h"

#include "core/Cp932.h"
#include "core/WriteAll.h"

#include <algorithm>
#include <array>
#include <cerrno>
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

void sync_parent(const fs::path& path) {
    const int dfd = ::open(path.parent_path().empty() ? "." : path.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
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
    return replace_with(to, *bytes, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                        fs::perms::others_read);
}

LineReader::~LineReader() { close(); }

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
    buf_.resize(1 << 20);
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
    for (;;) {
        bool cr_at_end = false;
        for (std::size_t i = pos_; i < end_; ++i) {
            const char c = buf_[i];
            if (c != '\r' && c != '\n') {
                continue;
            }
            if (c == '\r' && i + 1 == end_ && !eof_) {
                cr_at_end = true; // the LF of a CR LF may be in the next block
                break;
            }
            line = cp932::to_utf8(std::string_view(buf_.data() + pos_, i - pos_));
            pos_ = i + 1;
            if (c == '\r' && pos_ < end_ && buf_[pos_] == '\n') {
                ++pos_;
            }
            return true;
        }
        if (!fill()) {
            if (cr_at_end) {
                continue; // now at the end of the file: the CR ends the line
            }
            if (pos_ < end_) {
                line = cp932::to_utf8(std::string_view(buf_.data() + pos_, end_ - pos_));
                pos_ = end_;
                return true;
            }
            return false;
        }
    }
}

} // namespace textfile
