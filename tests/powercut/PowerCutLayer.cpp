// A power cut for the attendance log, loaded into a program with LD_PRELOAD. Bytes written to a file whose
// name begins with "KLOG_" are kept in the process instead of reaching the kernel; fdatasync and fsync hand
// them over and sync them. A program killed with SIGKILL then loses what it wrote but did not sync, as a
// machine that loses its power loses what the disk was not told to keep. A close or a normal exit hands the
// kept bytes over unsynced (the page cache keeps them; the cut this layer imitates is a kill while the file
// is open).

#include <array>
#include <cerrno>
#include <cstdio>
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
std::array<std::string*, max_fd> kept{}; // unsynced bytes per descriptor; nullptr when none

bool is_log(int fd) {
    std::array<char, 64> link{};
    std::snprintf(link.data(), link.size(), "/proc/self/fd/%d", fd);
    std::array<char, 4096> target{};
    const ssize_t n = ::readlink(link.data(), target.data(), target.size() - 1);
    if (n <= 0) {
        return false;
    }
    const char* slash = std::strrchr(target.data(), '/');
    return std::strncmp(slash != nullptr ? slash + 1 : target.data(), "KLOG_", 5) == 0;
}

// Hands the kept bytes of fd to the kernel. Called with kept_lock held.
bool hand_over(int fd) {
    if (fd < 0 || fd >= max_fd || kept[static_cast<std::size_t>(fd)] == nullptr) {
        return true;
    }
    std::string* bytes = kept[static_cast<std::size_t>(fd)];
    std::size_t done = 0;
    while (done < bytes->size()) {
        const ssize_t n = real_write()(fd, bytes->data() + done, bytes->size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    delete bytes;
    kept[static_cast<std::size_t>(fd)] = nullptr;
    return true;
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

__attribute__((destructor)) void hand_over_all() {
    const std::lock_guard<std::mutex> g(kept_lock);
    for (int fd = 0; fd < max_fd; ++fd) {
        (void)hand_over(fd);
    }
}

} // namespace

extern "C" ssize_t write(int fd, const void* buf, size_t n) {
    if (fd < 0 || fd >= max_fd || !is_log(fd)) {
        return real_write()(fd, buf, n);
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
    return hand_over_then("close", fd);
}
