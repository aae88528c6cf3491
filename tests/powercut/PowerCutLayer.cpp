// A power cut for the recorder's files, loaded into a program with LD_PRELOAD.
//
// The attendance log: bytes written to a file whose name begins with "KLOG_" are kept in the process instead of
// reaching the kernel; fdatasync and fsync hand them over and sync them. A program killed with SIGKILL then
// loses what it wrote but did not sync, as a machine that loses its power loses what the disk was not told to
// keep. A close or a normal exit hands the kept bytes over unsynced (the page cache keeps them; the cut this
// layer imitates is a kill while the file is open).
//
// Replacements: bytes written to a temporary copy (a name ending in ".tmp" and digits) are kept the same way,
// but a close drops them: a copy renamed into place before its data were synced is seen empty, as it is after
// a power cut right after the rename on a disk that writes the name before the data.
//
// With TR_KILL_IN_COPY=N set, temporary copies are written through instead, and the process kills itself once
// N bytes of one copy are written: a copy cut short half-way.

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <mutex>
#include <string>
#include <unistd.h>

namespace {

using WriteFn = ssize_t (*)(int, const void*, size_t);
using FdFn = int (*)(int);

template <class F> F next_definition(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

WriteFn real_write() {
    static const auto f = next_definition<WriteFn>("write");
    return f;
}

constexpr int max_fd = 4096;
std::mutex kept_lock;
std::array<std::string*, max_fd> kept{};  // unsynced bytes per descriptor; nullptr when none
std::array<std::size_t, max_fd> copied{}; // bytes written through to a temporary copy (TR_KILL_IN_COPY)

// The path a descriptor stands for; empty when it has none.
std::string path_of(int fd) {
    std::array<char, 64> link{};
    std::snprintf(link.data(), link.size(), "/proc/self/fd/%d", fd);
    std::array<char, 4096> target{};
    const ssize_t n = ::readlink(link.data(), target.data(), target.size() - 1);
    return n > 0 ? std::string(target.data(), static_cast<std::size_t>(n)) : std::string();
}

std::string name_of(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool is_log(const std::string& path) {
    return name_of(path).rfind("KLOG_", 0) == 0;
}

bool is_temporary(const std::string& path) {
    const std::string name = name_of(path);
    const auto dot = name.rfind(".tmp");
    return dot != std::string::npos && dot + 4 < name.size() &&
           name.find_first_not_of("0123456789", dot + 4) == std::string::npos;
}

// The byte count after which a copy kills the process; 0 when none.
std::size_t kill_in_copy() {
    static const std::size_t n = [] {
        const char* v = std::getenv("TR_KILL_IN_COPY");
        return v != nullptr ? static_cast<std::size_t>(std::strtoull(v, nullptr, 10)) : std::size_t{0};
    }();
    return n;
}

bool write_through(int fd, const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = real_write()(fd, data + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Hands the kept bytes of fd to the kernel. Called with kept_lock held.
bool hand_over(int fd) {
    if (fd < 0 || fd >= max_fd || kept[static_cast<std::size_t>(fd)] == nullptr) {
        return true;
    }
    std::string* bytes = kept[static_cast<std::size_t>(fd)];
    if (!write_through(fd, bytes->data(), bytes->size())) {
        return false;
    }
    delete bytes;
    kept[static_cast<std::size_t>(fd)] = nullptr;
    return true;
}

// Forgets the kept bytes of fd: they never reach the disk. Called with kept_lock held.
void drop(int fd) {
    delete kept[static_cast<std::size_t>(fd)];
    kept[static_cast<std::size_t>(fd)] = nullptr;
}

int hand_over_then(const char* name, int fd) {
    const auto real = next_definition<FdFn>(name);
    {
        const std::lock_guard<std::mutex> g(kept_lock);
        if (!hand_over(fd)) {
            return -1;
        }
    }
    return real(fd);
}

// Writes to a temporary copy when TR_KILL_IN_COPY is set: through, until the copy reaches the kill point.
ssize_t write_copy_until_kill(int fd, const void* buf, size_t n) {
    std::size_t& written = copied[static_cast<std::size_t>(fd)];
    const std::size_t room = kill_in_copy() - written;
    if (n >= room) {
        (void)write_through(fd, static_cast<const char*>(buf), room);
        ::raise(SIGKILL);
    }
    const ssize_t done = real_write()(fd, buf, n);
    written += done > 0 ? static_cast<std::size_t>(done) : 0;
    return done;
}

__attribute__((destructor)) void hand_over_all() {
    const std::lock_guard<std::mutex> g(kept_lock);
    for (int fd = 0; fd < max_fd; ++fd) {
        (void)hand_over(fd);
    }
}

} // namespace

extern "C" ssize_t write(int fd, const void* buf, size_t n) {
    const std::string path = fd >= 0 && fd < max_fd ? path_of(fd) : std::string();
    const bool temporary = !path.empty() && is_temporary(path);
    if (path.empty() || (!is_log(path) && !temporary)) {
        return real_write()(fd, buf, n);
    }
    if (temporary && kill_in_copy() > 0) {
        return write_copy_until_kill(fd, buf, n);
    }
    const std::lock_guard<std::mutex> g(kept_lock);
    std::string*& bytes = kept[static_cast<std::size_t>(fd)];
    if (bytes == nullptr) {
        bytes = new std::string;
    }
    bytes->append(static_cast<const char*>(buf), n);
    return static_cast<ssize_t>(n);
}

extern "C" int fdatasync(int fd) {
    return hand_over_then("fdatasync", fd);
}

extern "C" int fsync(int fd) {
    return hand_over_then("fsync", fd);
}

extern "C" int close(int fd) {
    if (fd >= 0 && fd < max_fd) {
        copied[static_cast<std::size_t>(fd)] = 0;
        const std::string path = path_of(fd);
        const std::lock_guard<std::mutex> g(kept_lock);
        if (kept[static_cast<std::size_t>(fd)] != nullptr && is_temporary(path)) {
            drop(fd);
        }
    }
    return hand_over_then("close", fd);
}
