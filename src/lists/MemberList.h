#pragma once

#include "core/Result.h"
#include "lists/MemberTable.h"

#include <filesystem>
#include <string>

// Loads a member list file into the table: clears it, fills the members from slot 0 in file order, and
// puts the date line's second field into member_date. Empty lines take no slot; lines beyond the last slot
// are dropped. Every slot after the last member is cleared, also the ones an earlier, longer list left.
// FileNotFound when the file is missing, another error number when it cannot be read (the table is then
// left cleared).
[[nodiscard]] Status load_member_list(const std::filesystem::path& path, MemberTable& table, std::string& member_date);

// Whether the file holds a line that would take a slot (a member line); false when it cannot be read.
[[nodiscard]] bool holds_a_member(const std::filesystem::path& path);
