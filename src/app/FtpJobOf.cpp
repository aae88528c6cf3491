#include "app/FtpJobOf.h"

#include "app/RecorderState.h"

FtpJob ftp_job(RecorderState& s) {
    return FtpJob{s.paths, ftp_host(s.form.lbl_company.text, s.connection.label_text(), s.options.debug_server),
                  s.options.ftp_port, FtpLimits{s.options.ftp_connect_timeout, s.options.ftp_stall_timeout}, s.ui};
}
