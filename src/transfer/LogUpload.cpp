#include "transfer/LogUpload.h"

#include "core/Cp932.h"
#include "core/Paths.h"
#include "core/PrivateFolder.h"
#include "core/RegularFile.h"
#include "core/TextFile.h"
#include "core/TimeText.h"
#include "transfer/FtpScript.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

std::string upload_copy_name(std::string_view store_code, const DateTime& now) {
    return "K" + std::string(utf8_right(store_code, 2)) + "_" + timetext::yymmdd(now) + "_" + timetext::hhnn(now) +
           ".CSV";
}

namespace {

// The copy of the log into the outbox. Both are the recorder's own: the log is not read through a link put in
// its place, and the copy goes into the outbox folder itself, never into a folder a link there leads to.
Status copy_into_outbox(const LogUploadJob& job, const std::string& name) {
    std::error_code ec;
    const int outbox_fd = open_private_folder(job.outbox, ec);
    if (outbox_fd < 0) {
        return error_from_errno(ec.value());
    }
    const int log_fd = regularfile::open_regular(job.log, O_NOFOLLOW);
    const int err = errno;
    const Status st = log_fd < 0
                          ? Status(error_from_errno(err))
                          : textfile::copy_fd_atomic(log_fd, outbox_fd,
                                                     resolve_case_insensitive(job.outbox, name).filename().string(),
                                                     textfile::owner_only);
    if (log_fd >= 0) {
        ::close(log_fd);
    }
    ::close(outbox_fd);
    return st;
}

} // namespace

Status upload_logs(const LogUploadJob& job, const FtpJob* server) {
    const std::string name = upload_copy_name(job.store_code, job.now);
    if (auto st = copy_into_outbox(job, name); !st) {
        return st;
    }
    if (server == nullptr) {
        return Done{};
    }
    const auto outcome = run_ftp_script(*server, "mput C:\\cortmp\\*.*");
    if (!outcome) {
        return outcome.error();
    }
    // Only what the server took leaves the outbox; the rest goes with the next upload.
    std::error_code ec;
    for (const auto& file : outcome->uploaded) {
        if (fs::is_regular_file(fs::symlink_status(file, ec))) {
            fs::remove(file, ec);
        }
    }
    return Done{};
}
