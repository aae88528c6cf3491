#pragma once

#include "transfer/FtpScriptFile.h"
#include "transfer/ServerSetting.h"

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

// The client side of one head-office server: libcurl over FTP, FTPS or SFTP.

// Time limits of a transfer, so that a dead or silent server cannot hold up start-up or exit.
struct FtpLimits {
    int connect_seconds = 15; // connecting, the greeting and the login
    int stall_seconds = 30;   // a reply, or a transfer slower than min_speed, for this long
    int min_speed = 100;      // bytes a second
};

// The client's log for service staff: what was sent, what the server answered and what came of it.
class FtpLog {
public:
    virtual ~FtpLog() = default;
    virtual void note(std::string_view utf8_line) = 0; // the client's own words
    virtual void raw(std::string_view bytes_line) = 0; // protocol text as it went over the wire
};

struct FtpServer {
    std::string host;
    int port = ftpscript::default_port;
    std::string user;
    std::string password;
    std::string directory; // every file lives here; over SFTP, relative to the account's home
    Transport transport = Transport::Ftp;
    TransportKeys keys;
};

// One control connection, opened by the first transfer and kept for the next ones, closed with "QUIT" when
// the session ends. Binary transfers only.
class FtpSession {
public:
    // cancel, when set, ends a transfer in progress as a failure.
    FtpSession(FtpServer server, FtpLimits limits, FtpLog& log, const std::atomic<bool>& cancel);
    ~FtpSession();
    FtpSession(const FtpSession&) = delete;
    FtpSession& operator=(const FtpSession&) = delete;

    // Fetches the remote file into local. It is written beside local and renamed over it once complete, so a
    // failed transfer leaves local as it was. When the server announced no size, a file that does not end with
    // a line end is taken for one cut short and fails.
    bool get(std::string_view remote, const std::filesystem::path& local);
    // Uploads the local file under its own name.
    bool put(const std::filesystem::path& local);
    // After a failed transfer: whether the connection or the login failed, so that further files need not be
    // tried.
    [[nodiscard]] bool connection_failed() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
