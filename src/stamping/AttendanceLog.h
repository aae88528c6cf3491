#pragma once

#include "core/Result.h"

#include <filesystem>
#include <functional>
#include <string_view>
#include <utility>

// The one channel on which the attendance log stays open for appending from start-up to exit. Every line
// is on disk (written and synced) when append returns, so a power cut loses no stamp; opening, and every
// append, first ends a torn last line (also one whose line end was cut off in place while the log was open)
// so that a new line never merges with it. The log is never reached through a symbolic link.
class AttendanceLog {
public:
    AttendanceLog() = default;
    ~AttendanceLog();
    AttendanceLog(const AttendanceLog&) = delete;
    AttendanceLog& operator=(const AttendanceLog&) = delete;

    // Opens (creating, owner-only) the file for appending. PermissionDenied when another program holds it. A
    // file it creates has its name synced into the folder, so that a power cut cannot lose the file itself.
    [[nodiscard]] Status open_append(const std::filesystem::path& path);
    // Appends one line (UTF-8 text, without its line end), first reopening the path when the open file was
    // replaced or deleted (that reopen's error when it fails). BadFileNameOrNumber when the channel is closed
    // or the line cannot be written and synced; the file is then as it was before the call.
    [[nodiscard]] Status append_line(std::string_view line);
    void close();
    [[nodiscard]] bool is_open() const { return fd_ >= 0; }
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    // Whether lines are synced to disk on append (on unless a benchmark measures without it).
    void set_sync(bool sync) { sync_ = sync; }
    // Called with each line (UTF-8, without its line end) once it is on disk; the simulator reports it.
    void set_on_appended(std::function<void(std::string_view)> on_appended) { on_appended_ = std::move(on_appended); }

private:
    int fd_ = -1;
    bool sync_ = true;
    std::function<void(std::string_view)> on_appended_;
    std::filesystem::path path_;
};
