#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

// Real FTPS (vsftpd) and SFTP (OpenSSH) servers on 127.0.0.1 for one test, each with throw-away keys and
// certificates in its own folder and a uniquely named system account that is removed with it. They need
// root; secure_servers_missing() says why they cannot run otherwise.

[[nodiscard]] std::string secure_servers_missing();

// A system account without a shell of its own, whose home is the given folder.
class TestAccount {
public:
    TestAccount(const std::filesystem::path& home, const std::string& shell);
    ~TestAccount();
    TestAccount(const TestAccount&) = delete;
    TestAccount& operator=(const TestAccount&) = delete;

    [[nodiscard]] const std::string& name() const { return name_; }
    [[nodiscard]] const std::string& password() const { return password_; }
    [[nodiscard]] bool made() const { return made_; }

private:
    std::string name_;
    std::string password_;
    bool made_ = false;
};

// A folder for one server, removed at the end; the accounts can pass through it.
class ServerFolder {
public:
    ServerFolder();
    ~ServerFolder();
    ServerFolder(const ServerFolder&) = delete;
    ServerFolder& operator=(const ServerFolder&) = delete;
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A daemon started in the foreground and stopped by its PID.
class Daemon {
public:
    Daemon() = default;
    ~Daemon();
    Daemon(const Daemon&) = delete;
    Daemon& operator=(const Daemon&) = delete;
    // Starts it and waits until it accepts connections on 127.0.0.1:port; false when it did not.
    bool start(const std::vector<std::string>& args, const std::filesystem::path& log, int port);
    void stop();

private:
    pid_t pid_ = -1;
};

// vsftpd with TLS required on both channels (or, with tls false, without TLS at all), its certificate for
// "localhost" signed by a throw-away CA.
class FtpsTestServer {
public:
    explicit FtpsTestServer(bool tls = true);
    ~FtpsTestServer();
    FtpsTestServer(const FtpsTestServer&) = delete;
    FtpsTestServer& operator=(const FtpsTestServer&) = delete;

    [[nodiscard]] int port() const { return port_; } // 0 when it did not start
    [[nodiscard]] std::filesystem::path sub() const { return folder_.path() / "home" / "sub"; }
    [[nodiscard]] std::filesystem::path ca_file() const { return folder_.path() / "ca.pem"; }
    [[nodiscard]] std::filesystem::path other_ca_file() const { return folder_.path() / "other-ca.pem"; }
    [[nodiscard]] const TestAccount& account() const { return account_; }
    // Puts a file into the account's folder, owned by the account.
    void put(const std::string& name, const std::string& bytes) const;

private:
    ServerFolder folder_;
    TestAccount account_;
    std::string pam_service_;
    Daemon daemon_;
    int port_ = 0;
};

// OpenSSH's sshd serving SFTP only, on a free high port, for one account that logs in with a key.
class SftpTestServer {
public:
    SftpTestServer();
    ~SftpTestServer() = default;
    SftpTestServer(const SftpTestServer&) = delete;
    SftpTestServer& operator=(const SftpTestServer&) = delete;

    [[nodiscard]] int port() const { return port_; }
    [[nodiscard]] std::filesystem::path sub() const { return folder_.path() / "home" / "sub"; }
    [[nodiscard]] const TestAccount& account() const { return account_; }
    [[nodiscard]] std::filesystem::path user_key() const { return folder_.path() / "user_key"; }
    [[nodiscard]] std::filesystem::path other_user_key() const { return folder_.path() / "other_user_key"; }
    // known_hosts files: the server's own key; another key under the server's name; another host only.
    [[nodiscard]] std::filesystem::path known_hosts() const { return folder_.path() / "known_hosts"; }
    [[nodiscard]] std::filesystem::path changed_known_hosts() const { return folder_.path() / "changed_known_hosts"; }
    [[nodiscard]] std::filesystem::path other_known_hosts() const { return folder_.path() / "other_known_hosts"; }
    void put(const std::string& name, const std::string& bytes) const;

private:
    ServerFolder folder_;
    TestAccount account_;
    Daemon daemon_;
    int port_ = 0;
};
