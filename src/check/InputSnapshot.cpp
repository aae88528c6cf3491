#include "check/InputSnapshot.h"

#include "core/RegularFile.h"
#include "core/SystemErrorText.h"
#include "core/WriteAll.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

std::string reason() {
    return system_error_text(std::error_code(errno, std::system_category()));
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    [[nodiscard]] int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// Copies at most max_bytes from one to the other; an empty text when done, else why not.
std::string copy_bounded(int from, int to) {
    std::array<char, 65536> buf{};
    std::size_t total = 0;
    for (;;) {
        const ssize_t r = ::read(from, buf.data(), buf.size());
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r < 0) {
            return "読めません: " + reason();
        }
        if (r == 0) {
            return {};
        }
        total += static_cast<std::size_t>(r);
        if (total > InputSnapshot::max_bytes) {
            return "大きすぎます（16 MiB まで）";
        }
        if (!write_all(to, std::string_view(buf.data(), static_cast<std::size_t>(r)))) {
            return "写しを作れません: " + reason();
        }
    }
}

} // namespace

InputSnapshot::Taken InputSnapshot::take(const std::filesystem::path& file) {
    // A FIFO is opened without waiting for a writer, and then refused as not a regular file.
    Fd in(regularfile::open_without_waiting(file));
    if (in.get() < 0) {
        return {std::nullopt, "開けません: " + reason()};
    }
    struct stat st {};
    if (::fstat(in.get(), &st) != 0) {
        return {std::nullopt, "開けません: " + reason()};
    }
    if (!S_ISREG(st.st_mode)) {
        return {std::nullopt, "通常のファイルではありません"};
    }
    Fd copy(::memfd_create("timerecorder-check", MFD_CLOEXEC));
    if (copy.get() < 0) {
        return {std::nullopt, "写しを作れません: " + reason()};
    }
    if (std::string why = copy_bounded(in.get(), copy.get()); !why.empty()) {
        return {std::nullopt, why};
    }
    return {InputSnapshot(copy.release()), {}};
}

std::optional<InputSnapshot> InputSnapshot::of_bytes(std::string_view bytes) {
    Fd copy(::memfd_create("timerecorder-check", MFD_CLOEXEC));
    if (copy.get() < 0 || !write_all(copy.get(), bytes)) {
        return std::nullopt;
    }
    return InputSnapshot(copy.release());
}

InputSnapshot::InputSnapshot(InputSnapshot&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

InputSnapshot::~InputSnapshot() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::filesystem::path InputSnapshot::path() const {
    return "/proc/self/fd/" + std::to_string(fd_);
}
