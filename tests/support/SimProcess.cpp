#include "support/SimProcess.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

SimProcess::SimProcess(const std::filesystem::path& root, const std::filesystem::path& script,
                       const std::vector<std::string>& extra_args) {
    std::vector<std::string> args{TR_SIM_BINARY, "--root", root.string()};
    args.insert(args.end(), extra_args.begin(), extra_args.end());
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    std::array<int, 2> out{};
    if (::pipe2(out.data(), O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe: " << errno;
        return;
    }
    const std::string err_path = (root / "sim-stderr.txt").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, script.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    const int rc = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    out_fd_ = out[0];
    if (rc != 0) {
        ADD_FAILURE() << "cannot start " << argv[0] << ": " << rc;
        pid_ = -1;
    }
}

SimProcess::~SimProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        reap();
    }
    if (out_fd_ >= 0) {
        ::close(out_fd_);
    }
}

bool SimProcess::fill(std::chrono::milliseconds limit) {
    pollfd p{out_fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(limit.count()));
    if (ready <= 0) {
        return false;
    }
    std::array<char, 65536> buf{};
    const ssize_t n = ::read(out_fd_, buf.data(), buf.size());
    if (n <= 0) {
        eof_ = true;
        return false;
    }
    pending_.append(buf.data(), static_cast<std::size_t>(n));
    return true;
}

std::optional<nlohmann::json> SimProcess::next_event(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (const auto nl = pending_.find('\n'); nl != std::string::npos) {
            std::string line = pending_.substr(0, nl);
            pending_.erase(0, nl + 1);
            return nlohmann::json::parse(line);
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (eof_ || out_fd_ < 0 || left.count() <= 0 || !fill(left)) {
            if (!eof_ && left.count() <= 0) {
                ADD_FAILURE() << "no event from the simulator within " << limit.count() << " ms";
            }
            return std::nullopt;
        }
    }
}

void SimProcess::drain(std::vector<nlohmann::json>& rest) {
    while (auto e = next_event(std::chrono::seconds(30))) {
        rest.push_back(*e);
    }
    // A line cut off by the kill is not an event: the program died while printing it.
    pending_.clear();
}

int SimProcess::reap() {
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return status;
}

bool SimProcess::kill(std::vector<nlohmann::json>& rest) {
    if (pid_ <= 0) {
        return false;
    }
    ::kill(pid_, SIGKILL);
    drain(rest);
    const int status = reap();
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

int SimProcess::wait(std::vector<nlohmann::json>& rest) {
    if (pid_ <= 0) {
        return -1;
    }
    drain(rest);
    const int status = reap();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
