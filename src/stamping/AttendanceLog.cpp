#include "stamping/AttendanceLog.h"

#include "core/Cp932.h"
#include "core/RegularFile.h"
#include "core/TextFile.h"
#include "core/WriteAll.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <string_view>
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

// True while the path still names the open file: the same device and inode, and not unlinked. An editor or
// a backup tool that saves by writing a new file and renaming it, a deletion, or a link put in its place
// breaks this.
bool still_at_path(int fd, const std::filesystem::path& path) {
    struct stat open_st {};
    struct stat path_st {};
    return ::fstat(fd, &open_st) == 0 && open_st.st_nlink != 0 && ::lstat(path.c_str(), &path_st) == 0 &&
           open_st.st_dev == path_st.st_dev && open_st.st_ino == path_st.st_ino;
}

// The log's own file: never through a symbolic link (one in its place could send the stamps to a file another
// user reads), never a FIFO or a device that would make the recorder wait. Whatever else stands there cannot
// take a line: BadFileNameOrNumber, as for a line that cannot be written.
Result<int> open_log_file(const std::filesystem::path& path) {
    const int fd = regularfile::open_regular(path, O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW);
    if (fd < 0) {
        // A link (ELOOP), a folder (EISDIR), a FIFO without reader (ENXIO) or anything else not regular (EINVAL).
        return errno == ELOOP || errno == EISDIR || errno == ENXIO || errno == EINVAL ? ErrorNumber::BadFileNameOrNumber
                                                                                      : error_from_errno(errno);
    }
    return fd;
}

off_t file_size(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? st.st_size : -1;
}

// Writes the bytes at the end of the file and, when asked, syncs them. A write that fails part way (a full
// disk) is taken back whole, so that no fragment of it is left to merge with a later line; the file keeps
// every byte it had before. errno tells why it failed.
bool append_bytes(int fd, std::string_view bytes, bool sync) {
    const off_t before = file_size(fd);
    if (write_all(fd, bytes) && (!sync || ::fdatasync(fd) == 0)) {
        return true;
    }
    const int err = errno;
    if (before >= 0 && ::ftruncate(fd, before) == 0 && sync) {
        (void)::fdatasync(fd);
    }
    errno = err;
    return false;
}

// Ends a torn last line, so that the next line starts a line of its own; synced when lines are, so that the
// check before the next append finds it on disk and does not end the line a second time. False with errno when
// it cannot.
bool end_torn_line(int fd, bool sync) {
    return !ends_torn(fd) || append_bytes(fd, "\r\n", sync);
}

} // namespace

AttendanceLog::~AttendanceLog() {
    close();
}

Status AttendanceLog::open_append(const std::filesystem::path& path) {
    close();
    struct stat st {};
    const bool existed = ::lstat(path.c_str(), &st) == 0;
    // Names and card IDs: a new log is readable by its owner only; an existing file keeps its mode.
    const auto fd = open_log_file(path);
    if (!fd) {
        return fd.error();
    }
    if (!existed && sync_) {
        textfile::sync_parent(path);
    }
    if (!end_torn_line(*fd, sync_)) {
        const int err = errno;
        ::close(*fd);
        return error_from_errno(err);
    }
    fd_ = *fd;
    path_ = path;
    return Done{};
}

Status AttendanceLog::append_line(std::string_view line) {
    if (fd_ < 0) {
        return ErrorNumber::BadFileNameOrNumber;
    }
    if (!still_at_path(fd_, path_)) {
        // Lines written to the replaced file are out of reach; from this line on they go to the path again.
        const std::filesystem::path path = path_;
        if (const Status st = open_append(path); !st) {
            return st;
        }
    }
    // The line end before this line may have been cut off in place since the last append (the same file, no
    // rename): ending it first keeps this line from merging with it.
    std::string bytes = ends_torn(fd_) ? "\r\n" : "";
    bytes += cp932::from_utf8(line);
    bytes += "\r\n";
    if (!append_bytes(fd_, bytes, sync_)) {
        return ErrorNumber::BadFileNameOrNumber;
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
