#include "report/OutputFile.h"

#include "core/TextFile.h"
#include "core/WriteAll.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t buffer_size = std::size_t{1} << 16;

fs::path resolved(const fs::path& p) {
    std::error_code ec;
    fs::path r = fs::weakly_canonical(fs::absolute(p, ec), ec);
    return ec ? p.lexically_normal() : r;
}

bool same_file(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return resolved(a) == resolved(b) || fs::equivalent(a, b, ec);
}

} // namespace

std::optional<std::string> output_clash(const fs::path& output, const std::vector<fs::path>& inputs) {
    const fs::path folder = resolved(output).parent_path();
    for (const auto& in : inputs) {
        if (same_file(output, in)) {
            return "出力先が入力のファイルです (入力は書き換えません): " + output.string();
        }
        std::error_code ec;
        if (!fs::is_directory(in, ec)) {
            continue;
        }
        for (fs::path up = folder;; up = up.parent_path()) {
            if (same_file(up, in)) {
                return "出力先が入力のフォルダーの中です (次に読まれてしまいます): " + output.string();
            }
            if (up == up.parent_path()) {
                break;
            }
        }
    }
    return std::nullopt;
}

ReplacingFile::ReplacingFile(fs::path target) : target_(std::move(target)) {
    temporary_ = target_.parent_path() / textfile::temporary_name(target_.filename().string());
}

ReplacingFile::~ReplacingFile() {
    if (buffer_.fd >= 0) {
        ::close(buffer_.fd);
    }
    if (buffer_.fd >= 0 && !committed_ && !in_place_) {
        ::unlink(temporary_.c_str());
    }
}

bool ReplacingFile::open() {
    // A device or a pipe (/dev/null, a FIFO read by another program) is written to where it is: there is no
    // file to replace, and a file renamed over it would take its place.
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0 && (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))) {
        buffer_.fd = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC);
        in_place_ = true;
        return buffer_.fd >= 0;
    }
    constexpr int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    constexpr mode_t owner_only = 0600;
    buffer_.fd = ::open(temporary_.c_str(), flags, owner_only);
    if (buffer_.fd < 0 && errno == EEXIST) { // left by an earlier process of the same ID
        ::unlink(temporary_.c_str());
        buffer_.fd = ::open(temporary_.c_str(), flags, owner_only);
    }
    return buffer_.fd >= 0;
}

bool ReplacingFile::commit() {
    stream_.flush();
    if (buffer_.fd < 0 || buffer_.failed || !stream_) {
        return false;
    }
    if (in_place_) {
        committed_ = true;
        return true;
    }
    if (::fsync(buffer_.fd) != 0) {
        return false;
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        return false;
    }
    committed_ = true;
    return true;
}

bool ReplacingFile::Buffer::drain() {
    if (!held_.empty() && !failed) {
        failed = !write_all(fd, held_);
    }
    held_.clear();
    return !failed;
}

ReplacingFile::Buffer::int_type ReplacingFile::Buffer::overflow(int_type c) {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        held_ += traits_type::to_char_type(c);
    }
    if (held_.size() >= buffer_size && !drain()) {
        return traits_type::eof();
    }
    return traits_type::not_eof(c);
}

std::streamsize ReplacingFile::Buffer::xsputn(const char* s, std::streamsize n) {
    held_.append(s, static_cast<std::size_t>(n));
    if (held_.size() >= buffer_size && !drain()) {
        return 0;
    }
    return n;
}

int ReplacingFile::Buffer::sync() {
    return drain() ? 0 : -1;
}
