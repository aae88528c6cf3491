#include "transfer/FtpLogFile.h"

#include "core/Cp932.h"
#include "core/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The log names the server, the account and the files exchanged: its owner alone may read it, as every file of
// the system folder. It is never written through a link, and what is not a regular file is left alone.
std::FILE* open_private(const std::filesystem::path& path) {
    const int fd = regularfile::open_regular(path, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW);
    if (fd < 0) {
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && (st.st_mode & 077) != 0) {
        (void)::fchmod(fd, 0600); // a log an earlier version left readable by others
    }
    std::FILE* f = ::fdopen(fd, "wb");
    if (f == nullptr) {
        ::close(fd);
    }
    return f;
}

} // namespace

FtpLogFile::FtpLogFile(const std::filesystem::path& path) : file_(open_private(path)) {}
FtpLogFile::~FtpLogFile() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

void FtpLogFile::note(std::string_view utf8_line) {
    raw(cp932::from_utf8(utf8_line));
}

void FtpLogFile::raw(std::string_view bytes_line) {
    if (file_ == nullptr) {
        return;
    }
    std::fwrite(bytes_line.data(), 1, bytes_line.size(), file_);
    std::fputs("\r\n", file_);
    std::fflush(file_);
}
