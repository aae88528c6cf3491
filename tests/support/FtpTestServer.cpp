#include "support/FtpTestServer.h"

#include "app/start/Options.h"

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// The first line the child writes, within the time limit.
std::string read_line(int fd, int timeout_ms) {
    std::string line;
    char c = 0;
    while (line.size() < 100) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, timeout_ms) <= 0 || ::read(fd, &c, 1) != 1 || c == '\n') {
            break;
        }
        line += c;
    }
    return line;
}

} // namespace

FtpTestServer::FtpTestServer(const Setup& setup) {
    std::string pattern = (std::filesystem::temp_directory_path() / "trftp-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "no temporary folder";
        return;
    }
    home_ = pattern;
    std::filesystem::create_directories(sub());
    std::vector<std::string> args{"/usr/bin/python3",
                                  std::string(TR_TESTS_DIR) + "/support/ftp_server.py",
                                  "--mode",
                                  setup.mode,
                                  "--home",
                                  home_.string(),
                                  "--password",
                                  setup.password,
                                  "--close-after-stores",
                                  std::to_string(setup.close_after_stores)};
    if (setup.stall_retr) {
        args.emplace_back("--stall-retr");
    }
    if (setup.no_size) {
        args.emplace_back("--no-size");
    }
    args.insert(args.end(), {"--cut-retr", std::to_string(setup.cut_retr), "--crawl-retr",
                             std::to_string(setup.crawl_retr), "--refuse-store", setup.refuse_store});
    const std::string log_path = (home_ / "server.log").string();
    std::array<int, 2> out{};
    if (::pipe2(out.data(), O_CLOEXEC) != 0) {
        ADD_FAILURE() << "no pipe";
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        const int err = ::open(log_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (err >= 0) {
            ::dup2(err, STDERR_FILENO);
        }
        ::close(out[0]);
        ::close(out[1]);
        std::vector<char*> argv;
        argv.reserve(args.size() + 1);
        for (auto& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    const std::string line = read_line(out[0], 10'000);
    ::close(out[0]);
    if (line.rfind("PORT ", 0) == 0) {
        port_ = std::atoi(line.c_str() + 5);
    }
    EXPECT_GT(port_, 0) << "the FTP server did not start: " << line;
}

void FtpTestServer::stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }
}

FtpTestServer::~FtpTestServer() {
    stop();
    std::error_code ec;
    if (!home_.empty()) {
        std::filesystem::remove_all(home_, ec);
    }
}

int unused_port() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0) {
        port = ntohs(a.sin_port);
    }
    ::close(s);
    return port;
}

Options ftp_options(int port) {
    Options o;
    if (port != 0) {
        o.server = parse_server_setting("127.0.0.1", port);
        o.ftp_port = port;
    }
    return o;
}
