#include "transfer/UsbExport.h"

#include "core/ErrorNumber.h"
#include "core/Paths.h"
#include "core/PrivateFolder.h"
#include "core/RegularFile.h"
#include "core/TextFile.h"
#include "core/TimeText.h"
#include "transfer/LogUpload.h"
#include "transfer/StickPath.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The export folder on the stick, made when missing; a link in its place is refused. A stick that is gone is
// the path-not-found of the platform.
Result<int> open_export_folder(const Drive& drive) {
    const std::string name = resolve_case_insensitive(drive.root, "Zerbanto").filename().string();
    const int fd = stickpath::open_folder(drive.root, name, true);
    if (fd < 0) {
        return errno == ENOENT ? ErrorNumber::PathNotFound : error_from_errno(errno);
    }
    return fd;
}

} // namespace

bool export_goes_on_after(ErrorNumber n) {
    return n == ErrorNumber::FileNotFound || n == ErrorNumber::SubscriptOutOfRange;
}

std::string export_copy_name(std::string_view store_code, const DateTime& now) {
    return upload_copy_name(store_code, now); // the stick's copy and the outbox's are named alike
}

std::optional<StickCopyFailure> copy_log_to_stick(const fs::path& log, std::string_view store_code, const DateTime& now,
                                                  const Drive& drive) {
    // The copy reads the open log, so a log that goes away once it is open is still copied whole. Only the log's
    // own file is copied: not what a link in its place leads to, nor a FIFO that would never end.
    const int source_fd = regularfile::open_regular(log, O_NOFOLLOW);
    const int source_errno = errno;
    if (source_fd < 0 && source_errno == ENOENT) {
        return std::nullopt; // no log to copy: the step is skipped without a word
    }
    const Result<int> folder_fd = open_export_folder(drive);
    if (!folder_fd) {
        if (source_fd >= 0) {
            ::close(source_fd);
        }
        return StickCopyFailure{folder_fd.error(), false};
    }
    const Status st = source_fd < 0 ? Status(error_from_errno(source_errno))
                                    : textfile::copy_fd_atomic(source_fd, *folder_fd, export_copy_name(store_code, now),
                                                               std::nullopt);
    if (source_fd >= 0) {
        ::close(source_fd);
    }
    ::close(*folder_fd);
    if (!st) {
        return StickCopyFailure{st.error(), true};
    }
    return std::nullopt;
}
