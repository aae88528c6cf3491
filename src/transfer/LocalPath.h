#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

// Local paths as the transfer commands write them, "c:\zerbanto\xE99_member.csv" and "C:\cortmp\*.*", mapped
// onto the root folder that stands for drive C:. The drive letter and every name are matched without regard
// to case, as on the platform the commands come from.
namespace localpath {

// The file a path of drive C: names below root; nullopt for another drive, a relative path, an empty name,
// "." or "..", or a name that holds a "/".
[[nodiscard]] std::optional<std::filesystem::path> map(const std::filesystem::path& root, std::string_view path);

// Whether a file name matches a wildcard of "*" and "?" without regard to ASCII case. "*.*" matches every
// name, with or without a dot, as it does on the platform the commands come from.
[[nodiscard]] bool matches(std::string_view pattern, std::string_view name);

// The regular files that a path with a wildcard in its last name stands for, sorted by name; empty when the
// folder is missing, is a symbolic link, or the path cannot be mapped. Symbolic links in the folder are left
// out, whatever they lead to.
[[nodiscard]] std::vector<std::filesystem::path> expand(const std::filesystem::path& root, std::string_view path);

} // namespace localpath
