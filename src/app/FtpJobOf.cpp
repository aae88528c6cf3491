#include "app/FtpJobOf.h"

#include "app/RecorderState.h"

FtpJob ftp_job(RecorderState& s) {
    const Options& o = s.options;
    return FtpJob{s.paths,    ftp_host(s.store.company, s.connection.label_text(), o.debug_server),
                  o.ftp_port, FtpLimits{o.ftp_connect_timeout, o.ftp_stall_timeout, o.ftp_min_speed},
                  s.ui,       o.login,
                  o.keys};
}
