#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// A private copy of an input file in memory, read once, behind a path that the recorder's own readers open.
// The copy keeps the check from ever blocking on the input (a FIFO, a device) or following it while it
// changes, and bounds what it reads: every reader of one check sees the same bytes.
class InputSnapshot {
public:
    static constexpr std::size_t max_bytes = std::size_t{16} << 20;

    // The snapshot, or the reason the file cannot be checked (Japanese).
    struct Taken;
    [[nodiscard]] static Taken take(const std::filesystem::path& file);
    // A copy of the bytes given; nullopt when no memory is left for it.
    [[nodiscard]] static std::optional<InputSnapshot> of_bytes(std::string_view bytes);

    InputSnapshot(const InputSnapshot&) = delete;
    InputSnapshot& operator=(const InputSnapshot&) = delete;
    InputSnapshot(InputSnapshot&& other) noexcept;
    InputSnapshot& operator=(InputSnapshot&&) = delete;
    ~InputSnapshot();

    // A path naming the copy for as long as this object lives.
    [[nodiscard]] std::filesystem::path path() const;

private:
    explicit InputSnapshot(int fd) : fd_(fd) {}
    int fd_ = -1;
};

struct InputSnapshot::Taken {
    std::optional<InputSnapshot> snapshot;
    std::string error;
};
