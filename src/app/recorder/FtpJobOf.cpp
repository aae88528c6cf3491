#include "app/recorder/FtpJobOf.h"

FtpJob ftp_job(const Options& o, const Paths& paths, const std::string& company, UserInterface& ui) {
    const ServerAddress server = ftp_server(company, o.server.value_or(ServerAddress{}), o.debug_server);
    return FtpJob{paths, server,  FtpLimits{o.ftp_connect_timeout, o.ftp_stall_timeout, o.ftp_min_speed},
                  ui,    o.login, o.keys};
}
