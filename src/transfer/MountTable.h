#pragma once

#include <string>
#include <string_view>
#include <vector>

// One line of /proc/self/mountinfo: which device is mounted where, and as what.
struct MountEntry {
    int major = 0;
    int minor = 0;
    std::string root;        // the folder of the filesystem that is mounted (a bind mount shows a sub-folder)
    std::string mount_point; // decoded: "\040" is a blank again
    std::string fs_type;
    std::string source;
};

// Reads the text of a mountinfo file. A line that does not have the shape of a mount is skipped, so text of
// any kind gives a (possibly empty) table and never an exception.
[[nodiscard]] std::vector<MountEntry> parse_mountinfo(std::string_view text);

// Undoes the kernel's octal escapes ("\040" blank, "\011" tab, "\012" line feed, "\134" backslash); a
// backslash not followed by three octal digits stays as it is.
[[nodiscard]] std::string decode_mount_escapes(std::string_view field);
