#include "app/SingleInstance.h"

#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// An abstract socket address (Linux): no file to leave behind, and no length limit from the root's path.
sockaddr_un address_of(const std::string& name, socklen_t& len) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::size_t n = std::min(name.size(), sizeof(addr.sun_path) - 1);
    std::memcpy(addr.sun_path + 1, name.data(), n);
    len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
    return addr;
}

} // namespace

SingleInstance::SingleInstance(const std::filesystem::path& root) {
    std::error_code ec;
    std::filesystem::create_directories(root / "zerbanto", ec);
    lock_path_ = root / "zerbanto" / ".timerecorder.lock";
    const auto canonical = std::filesystem::weakly_canonical(root, ec);
    socket_name_ = "timerecorder-" + std::to_string(std::hash<std::string>{}(canonical.string()));
}

SingleInstance::~SingleInstance() {
    if (listen_fd_ >= 0) {
        ::close(listen_fd_);
    }
    if (lock_fd_ >= 0) {
        ::close(lock_fd_);
    }
}

bool SingleInstance::acquire() {
    lock_fd_ = ::open(lock_path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock_fd_ < 0) {
        return true; // a root we cannot lock must not keep the recorder from starting
    }
    if (::flock(lock_fd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(lock_fd_);
        lock_fd_ = -1;
        return false;
    }
    listen_fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    socklen_t len = 0;
    const sockaddr_un addr = address_of(socket_name_, len);
    if (listen_fd_ >= 0 &&
        (::bind(listen_fd_, reinterpret_cast<const sockaddr*>(&addr), len) != 0 || ::listen(listen_fd_, 4) != 0)) {
        ::close(listen_fd_);
        listen_fd_ = -1;
    }
    return true;
}

bool SingleInstance::request_activation() const {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    socklen_t len = 0;
    const sockaddr_un addr = address_of(socket_name_, len);
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), len) == 0 && ::write(fd, "A", 1) == 1;
    ::close(fd);
    return ok;
}

bool SingleInstance::take_activation_request() {
    bool any = false;
    for (;;) {
        const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            return any;
        }
        any = true;
        ::close(fd);
    }
}
