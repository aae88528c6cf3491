#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>

// An FTP server on 127.0.0.1 for one test (tests/support/ftp_server.py), on a free port, with the head
// office's account and its /sub folder in a fresh home folder. Stopped by its PID when the test ends.
class FtpTestServer {
public:
    struct Setup {
        std::string mode = "normal";            // "silent": accepts and never answers
        std::string password = "Pelmora583920"; // another one makes the recorder's login fail
        int close_after_stores = -1;            // drop the connection at the STOR after this many uploads
        bool stall_retr = false;                // send half a file on RETR, then nothing
        bool no_size = false;                   // announce no file sizes
        int cut_retr = -1;                      // send only this many bytes of a file and report success
        int crawl_retr = 0;                     // send files at this many bytes a second
        std::string refuse_store;               // refuse the upload of this file name (553)
    };

    FtpTestServer() : FtpTestServer(Setup{}) {}
    explicit FtpTestServer(const Setup& setup);
    ~FtpTestServer();
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    [[nodiscard]] int port() const { return port_; } // 0 when the server did not start
    [[nodiscard]] std::filesystem::path sub() const { return home_ / "sub"; }
    void stop();

private:
    std::filesystem::path home_;
    pid_t pid_ = -1;
    int port_ = 0;
};

// A loopback port on which nothing listens.
[[nodiscard]] int unused_port();

struct Options;
// Options of a recorder connected to the FTP server on 127.0.0.1 at port; stand-alone when port is 0.
[[nodiscard]] Options ftp_options(int port);
