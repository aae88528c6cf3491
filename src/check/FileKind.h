#pragma once

#include <filesystem>

// What a file is to the recorder, told by its name as the recorder fetches it: the member list
// (E99_member.csv from the server, its download copy xE99_member.csv, E99_*.csv from a stick) or a
// store's shift plan (S + the store code's last two characters + _SHIFT.csv).
enum class FileKind { MemberList, ShiftPlan, Unknown };

[[nodiscard]] FileKind file_kind(const std::filesystem::path& file);
