#pragma once

#include "transfer/DriveList.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// A member-list file found on a stick: the path as the listing shows it, and where the file is.
struct ListedFile {
    std::string text;
    std::filesystem::path path;
};

// The member-list files on a drive in the order of "dir /O-D /b /s X:\E99_*.csv": the files of a folder
// newest first, then each folder below it (by name, without regard to case) with everything below that.
// Names match "E99_*.csv" without regard to case. A folder that cannot be read lists nothing; links are not
// followed, so a loop of links cannot keep the walk going.
[[nodiscard]] std::vector<ListedFile> list_member_files(const Drive& drive);

// Whether a file name matches "E99_*.csv" without regard to case.
[[nodiscard]] bool is_member_file_name(std::string_view name);

// A path on a drive as the operator reads it: "E:\sub\E99_a.csv" for a drive named by a letter,
// "/media/stick/sub/E99_a.csv" for one named by its mount point.
[[nodiscard]] std::string drive_path_text(const Drive& drive, const std::vector<std::string>& components);

// The file a listed path names: the drive whose name begins the text, its root in place of that name.
// A text that begins with no drive's name is taken as a path as it stands.
[[nodiscard]] std::filesystem::path path_of_drive_text(const std::vector<Drive>& drives, std::string_view text);
