#include "stamping/AttendanceLog.h"

#include "core/Cp932.h"
#include "core/TextFile.h"
#include "core/WriteAll.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// True when the file is not empty and its last byte is not a line feed: a line torn by a power cut.
bool ends_torn(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_size == 0) {
        return false;
    }
    char last = 0;
    return ::pread(fd, &last, 1, st.st_size - 1) == 1 && last != '\n';
}

} // namespace

AttendanceLog::~AttendanceLog() {
    close();
}

Status AttendanceLog::open_append(const std::filesystem::path& path) {
    close();
    struct stat st {};
    const bool existed = ::stat(path.c_str(), &st) == 0;
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return error_from_errno(errno);
    }
    if (!existed && sync_) {
        textfile::sync_parent(path);
    }
    if (ends_torn(fd) && !write_all(fd, "\r\n")) {
        const int err = errno;
        ::close(fd);
        return error_from_errno(err);
    }
    fd_ = fd;
    path_ = path;
    return Done{};
}

Status AttendanceLog::append_line(std::string_view line) {
    if (fd_ < 0) {
        return ErrorNumber::BadFileNameOrNumber;
    }
    std::string bytes = cp932::from_utf8(line);
    bytes += "\r\n";
    if (!write_all(fd_, bytes) || (sync_ && ::fdatasync(fd_) != 0)) {
        return error_from_errno(errno);
    }
    if (on_appended_) {
        on_appended_(line);
    }
    return Done{};
}

void AttendanceLog::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}
