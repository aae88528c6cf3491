#pragma once

#include "core/Result.h"
#include "transfer/FtpRunner.h"

#include <optional>
#include <string>
#include <string_view>

class Paths;
class UserInterface;

// What a transfer needs: the folders (the script and its log lie in the system folder), the server, its
// port, time limits, login and keys, and the window whose events run while it waits.
struct FtpJob {
    const Paths& paths;
    ServerAddress server;
    FtpLimits limits;
    UserInterface& ui;
    ftpscript::Login login;
    TransportKeys keys;
};

// Writes the eight-line FTP script for one transfer command ("get ..." or "mput ...") and runs it to its
// end, letting window events run meanwhile. Callers judge success by the local files afterwards; the
// outcome also names the files an "mput" delivered. The error number when the script cannot be written.
[[nodiscard]] Result<FtpOutcome> run_ftp_script(const FtpJob& job, std::string_view command);

// The server of the script: the connection's, or the built-in server when the company name is "debug" in any
// case and one was given.
[[nodiscard]] const ServerAddress& ftp_server(std::string_view company, const ServerAddress& connection,
                                              const std::optional<ServerAddress>& debug_server);
