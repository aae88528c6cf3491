#include "support/SecureServers.h"

#include "support/FtpTestServer.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <random>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// In a forked child: standard output and error go to the log, then the program runs (127 when it cannot).
[[noreturn]] void exec_logging_to(const std::vector<std::string>& args, const fs::path& log) {
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(out, STDERR_FILENO);
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const auto& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

// Runs a program to its end with its output in log; its exit status, or -1.
int run_program(const std::vector<std::string>& args, const fs::path& log = "/dev/null",
                const std::string& input = {}) {
    int in[2] = {-1, -1};
    if (::pipe2(in, O_CLOEXEC) != 0) {
        return -1;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(in[0], STDIN_FILENO);
        exec_logging_to(args, log);
    }
    ::close(in[0]);
    if (!input.empty()) {
        (void)!::write(in[1], input.data(), input.size());
    }
    ::close(in[1]);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

std::string unique_name() {
    static std::atomic<int> count{0};
    return "trt" + std::to_string(::getpid()) + "x" + std::to_string(count++);
}

std::string random_password() {
    std::random_device rd;
    std::string p;
    for (int i = 0; i < 20; ++i) {
        p += "abcdefghijkmnopqrstuvwxyz23456789"[rd() % 33];
    }
    return p;
}

bool accepts(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(s);
    return ok;
}

void write_file(const fs::path& p, const std::string& bytes,
                fs::perms perms = fs::perms::owner_read | fs::perms::owner_write) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
    fs::permissions(p, perms);
}

// Makes a key pair of the account's folder owned by it.
void give_to(const TestAccount& account, const fs::path& p) {
    run_program({"/bin/chown", "-R", account.name(), p.string()});
}

// A CA and a certificate for "localhost" signed by it; another CA that signed nothing the server shows.
bool make_certificates(const fs::path& d) {
    const fs::path log = d / "openssl.log";
    const std::string openssl = "/usr/bin/openssl";
    write_file(d / "ext.cnf", "subjectAltName=DNS:localhost\n");
    for (const char* ca : {"ca", "other-ca"}) {
        if (run_program({openssl, "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                         std::string("/CN=recorder test ") + ca, "-keyout", (d / (std::string(ca) + ".key")).string(),
                         "-out", (d / (std::string(ca) + ".pem")).string()},
                        log) != 0) {
            return false;
        }
    }
    return run_program({openssl, "req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=localhost", "-keyout",
                        (d / "server.key").string(), "-out", (d / "server.csr").string()},
                       log) == 0 &&
           run_program({openssl, "x509", "-req", "-in", (d / "server.csr").string(), "-CA", (d / "ca.pem").string(),
                        "-CAkey", (d / "ca.key").string(), "-CAcreateserial", "-days", "2", "-extfile",
                        (d / "ext.cnf").string(), "-out", (d / "server.pem").string()},
                       log) == 0;
}

bool make_key(const fs::path& file) {
    return run_program({"/usr/bin/ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", file.string()}) == 0;
}

std::string first_line(const fs::path& p) {
    std::string line;
    std::ifstream in(p);
    std::getline(in, line);
    return line;
}

} // namespace

std::string secure_servers_missing() {
    if (::geteuid() != 0) {
        return "the FTPS and SFTP servers need root (system accounts, vsftpd, sshd); run as root to test them";
    }
    for (const char* program : {"/usr/sbin/vsftpd", "/usr/sbin/sshd", "/usr/bin/openssl", "/usr/bin/ssh-keygen",
                                "/usr/sbin/useradd", "/usr/sbin/userdel", "/usr/sbin/chpasswd"}) {
        if (::access(program, X_OK) != 0) {
            return std::string(program) + " is missing: run scripts/deps.sh";
        }
    }
    return {};
}

TestAccount::TestAccount(const fs::path& home, const std::string& shell)
    : name_(unique_name()), password_(random_password()) {
    made_ = run_program({"/usr/sbin/useradd", "-M", "-d", home.string(), "-s", shell, name_}) == 0 &&
            run_program({"/usr/sbin/chpasswd"}, "/dev/null", name_ + ":" + password_ + "\n") == 0;
    EXPECT_TRUE(made_) << "could not make the account " << name_;
}

TestAccount::~TestAccount() {
    run_program({"/usr/sbin/userdel", name_});
}

ServerFolder::ServerFolder() {
    std::string pattern = (fs::temp_directory_path() / "trsecure-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) {
        path_ = pattern;
        fs::permissions(path_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
        fs::create_directories(path_ / "home" / "sub");
    }
}

ServerFolder::~ServerFolder() {
    std::error_code ec;
    if (!path_.empty()) {
        fs::remove_all(path_, ec);
    }
}

Daemon::~Daemon() {
    stop();
}

bool Daemon::start(const std::vector<std::string>& args, const fs::path& log, int port) {
    pid_ = ::fork();
    if (pid_ == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM); // a test that crashes leaves no server behind
        exec_logging_to(args, log);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        if (accepts(port)) {
            return true;
        }
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1; // it ended: the port was taken or its configuration refused
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20)); // polling interval, not a wait for time
    }
    return false;
}

void Daemon::stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }
}

FtpsTestServer::FtpsTestServer(bool tls)
    : account_(folder_.path() / "home", "/usr/sbin/nologin"), pam_service_("trtest-" + account_.name()) {
    const fs::path d = folder_.path();
    if (d.empty() || !account_.made() || !make_certificates(d)) {
        ADD_FAILURE() << "the FTPS server's folder, account or certificates could not be made";
        return;
    }
    give_to(account_, d / "home" / "sub");
    fs::create_directories(d / "empty");
    // The distribution's vsftpd service admits only accounts with a login shell: a service of the test's own
    // lets in the shell-less account.
    write_file("/etc/pam.d/" + pam_service_,
               "auth required pam_unix.so\naccount required pam_unix.so\nsession required pam_permit.so\n",
               fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    const int port = unused_port();
    const int pasv = unused_port();
    const std::string yes_tls = tls ? "YES" : "NO";
    write_file(d / "vsftpd.conf",
               "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=" + std::to_string(port) +
                   "\nbackground=NO\nanonymous_enable=NO\nlocal_enable=YES\nwrite_enable=YES\n"
                   "chroot_local_user=YES\nallow_writeable_chroot=YES\nlocal_root=" +
                   (d / "home").string() + "\nssl_enable=" + yes_tls + "\nforce_local_logins_ssl=" + yes_tls +
                   "\nforce_local_data_ssl=" + yes_tls + "\nrsa_cert_file=" + (d / "server.pem").string() +
                   "\nrsa_private_key_file=" + (d / "server.key").string() +
                   "\nrequire_ssl_reuse=NO\nsecure_chroot_dir=" + (d / "empty").string() +
                   "\npasv_min_port=" + std::to_string(pasv) + "\npasv_max_port=" + std::to_string(pasv + 20) +
                   "\nseccomp_sandbox=NO\npam_service_name=" + pam_service_ + "\ncheck_shell=NO\n");
    if (daemon_.start({"/usr/sbin/vsftpd", (d / "vsftpd.conf").string()}, d / "vsftpd.log", port)) {
        port_ = port;
    }
    EXPECT_GT(port_, 0) << "vsftpd did not start: " << file_bytes(d / "vsftpd.log");
}

FtpsTestServer::~FtpsTestServer() {
    daemon_.stop();
    std::error_code ec;
    fs::remove("/etc/pam.d/" + pam_service_, ec);
}

void FtpsTestServer::put(const std::string& name, const std::string& bytes) const {
    write_file(sub() / name, bytes, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    give_to(account_, sub() / name);
}

SftpTestServer::SftpTestServer() : account_(folder_.path() / "home", "/bin/sh") {
    const fs::path d = folder_.path();
    if (d.empty() || !account_.made() || !make_key(d / "host_key") || !make_key(d / "other_host_key") ||
        !make_key(user_key()) || !make_key(other_user_key())) {
        ADD_FAILURE() << "the SFTP server's folder, account or keys could not be made";
        return;
    }
    give_to(account_, sub());
    write_file(d / "authorized_keys", file_bytes(user_key().string() + ".pub"),
               fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    const int port = unused_port();
    const std::string name = "[127.0.0.1]:" + std::to_string(port) + " ";
    write_file(known_hosts(), name + first_line(d / "host_key.pub") + "\n");
    write_file(changed_known_hosts(), name + first_line(d / "other_host_key.pub") + "\n");
    write_file(other_known_hosts(),
               "[127.0.0.2]:" + std::to_string(port) + " " + first_line(d / "host_key.pub") + "\n");
    // The account may do nothing but SFTP, whatever its shell.
    write_file(d / "sshd_config", "ListenAddress 127.0.0.1\nPort " + std::to_string(port) + "\nHostKey " +
                                      (d / "host_key").string() +
                                      "\nPidFile none\nUsePAM no\nPasswordAuthentication no\n"
                                      "KbdInteractiveAuthentication no\nPubkeyAuthentication yes\n"
                                      "AuthorizedKeysFile " +
                                      (d / "authorized_keys").string() + "\nStrictModes no\nAllowUsers " +
                                      account_.name() + "\nSubsystem sftp internal-sftp\nForceCommand internal-sftp\n");
    fs::create_directories("/run/sshd");
    if (daemon_.start({"/usr/sbin/sshd", "-D", "-f", (d / "sshd_config").string(), "-E", (d / "sshd.log").string()},
                      d / "sshd.out", port)) {
        port_ = port;
    }
    EXPECT_GT(port_, 0) << "sshd did not start: " << file_bytes(d / "sshd.log");
}

void SftpTestServer::put(const std::string& name, const std::string& bytes) const {
    write_file(sub() / name, bytes, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    give_to(account_, sub() / name);
}
