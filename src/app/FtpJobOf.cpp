#include "app/FtpJobOf.h"

#include "app/RecorderState.h"

FtpJob ftp_job(RecorderState& s) {
    const Options& o = s.options;
    const ServerAddress server = ftp_server(s.store.company, o.server.value_or(ServerAddress{}), o.debug_server);
    return FtpJob{s.paths, server,  FtpLimits{o.ftp_connect_timeout, o.ftp_stall_timeout, o.ftp_min_speed},
                  s.ui,    o.login, o.keys};
}
