#include "app/ExitUpload.h"

#include "app/FtpJobOf.h"
#include "app/RecorderState.h"
#include "transfer/LogUpload.h"

Status upload_at_exit(RecorderState& s) {
    const LogUploadJob job{log_path(s), s.paths.cortmp(), s.store.store_code, s.clock.now()};
    if (!s.connection.connected()) {
        return upload_logs(job, nullptr);
    }
    const FtpJob session = ftp_job(s);
    return upload_logs(job, &session);
}
