#include "transfer/LogUpload.h"

#include "core/Cp932.h"
#include "core/Paths.h"
#include "core/PrivateFolder.h"
#include "core/TextFile.h"
#include "core/TimeText.h"
#include "transfer/FtpScript.h"

namespace fs = std::filesystem;

std::string upload_copy_name(std::string_view store_code, const DateTime& now) {
    return "K" + std::string(utf8_right(store_code, 2)) + "_" + timetext::yymmdd(now) + "_" + timetext::hhnn(now) +
           ".CSV";
}

Status upload_logs(const LogUploadJob& job, const FtpJob* server) {
    const std::string name = upload_copy_name(job.store_code, job.now);
    if (const auto ec = make_private_folder(job.outbox)) {
        return error_from_errno(ec.value());
    }
    if (auto st = textfile::copy_file_atomic(job.log, resolve_case_insensitive(job.outbox, name)); !st) {
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
        fs::remove(file, ec);
    }
    return Done{};
}
