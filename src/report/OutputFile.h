#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

// Why a file the report writes may not go where it is named: it is one of the inputs (by name, or the same
// file by device and inode through a link), or it lies inside an input folder, where the next run would read
// it. The text is a usage error in Japanese; nullopt when the place is fine.
[[nodiscard]] std::optional<std::string> output_clash(const std::filesystem::path& output,
                                                      const std::vector<std::filesystem::path>& inputs);

// A file the report writes: under a temporary name beside its final name, readable by its owner only (it holds
// names and hours), renamed over the final name once complete and on disk. Until then the final name keeps
// what it held; a run that fails leaves no part behind. A device or a pipe is written as it is.
class ReplacingFile {
public:
    explicit ReplacingFile(std::filesystem::path target);
    ~ReplacingFile(); // removes the temporary file unless committed
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    [[nodiscard]] bool open();
    [[nodiscard]] std::ostream& stream() { return stream_; }
    // Writes what is held, puts it on disk and renames it into place; false when any of that failed.
    [[nodiscard]] bool commit();

private:
    class Buffer : public std::streambuf {
    public:
        int fd = -1;
        bool failed = false;

    protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* s, std::streamsize n) override;
        int sync() override;

    private:
        bool drain();
        std::string held_;
    };

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    Buffer buffer_;
    std::ostream stream_{&buffer_};
    bool committed_ = false;
    bool in_place_ = false; // a device or a pipe, written directly
};
