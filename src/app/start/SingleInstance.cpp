#include "app/start/SingleInstance.h"

#include "core/Paths.h"

#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The socket file's address. A path too long for sockaddr_un is reached through the folder opened as a
// descriptor (/proc/self/fd/N/name), which the kernel resolves like any path; folder_fd is then left open
// for the caller to close once bind or connect is done.
sockaddr_un address_of(const std::filesystem::path& path, socklen_t& len, int& folder_fd) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::string text = path.string();
    folder_fd = -1;
    if (text.size() >= sizeof(addr.sun_path)) {
        folder_fd = ::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        text = "/proc/self/fd/" + std::to_string(folder_fd) + "/" + path.filename().string();
    }
    const std::size_t n = std::min(text.size(), sizeof(addr.sun_path) - 1);
    std::memcpy(addr.sun_path, text.data(), n);
    len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + n + 1);
    return addr;
}

void close_if_open(int fd) {
    if (fd >= 0) {
        ::close(fd);
    }
}

} // namespace

// The guard lives in the system folder whatever the case of its name on disk, where the recorder's files go.
SingleInstance::SingleInstance(const std::filesystem::path& root)
    : lock_path_(Paths(root).zerbanto() / ".timerecorder.lock"),
      socket_path_(Paths(root).zerbanto() / ".timerecorder.sock") {}

SingleInstance::~SingleInstance() {
    close_if_open(listen_fd_);
    close_if_open(lock_fd_);
    close_if_open(folder_fd_);
}

SingleInstance::Acquired SingleInstance::acquire() {
    // A link planted as the lock file is not followed: its target is neither created nor locked.
    lock_fd_ = ::open(lock_path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    folder_fd_ = ::open(lock_path_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (lock_fd_ < 0 || folder_fd_ < 0) {
        return Acquired::NoLock;
    }
    if (::flock(folder_fd_, LOCK_EX | LOCK_NB) != 0 || ::flock(lock_fd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(lock_fd_);
        ::close(folder_fd_);
        lock_fd_ = folder_fd_ = -1;
        return Acquired::Running;
    }
    listen();
    return Acquired::First;
}

// Holding the lock, this copy owns the socket's name: a file left by a copy that died is taken over.
void SingleInstance::listen() {
    ::unlink(socket_path_.c_str());
    listen_fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    socklen_t len = 0;
    int folder_fd = -1;
    const sockaddr_un addr = address_of(socket_path_, len, folder_fd);
    if (listen_fd_ >= 0 &&
        (::bind(listen_fd_, reinterpret_cast<const sockaddr*>(&addr), len) != 0 || ::listen(listen_fd_, 4) != 0)) {
        ::close(listen_fd_);
        listen_fd_ = -1;
    }
    close_if_open(folder_fd);
}

bool SingleInstance::request_activation() const {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    socklen_t len = 0;
    int folder_fd = -1;
    const sockaddr_un addr = address_of(socket_path_, len, folder_fd);
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), len) == 0 && ::write(fd, "A", 1) == 1;
    close_if_open(folder_fd);
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
