#pragma once

#include "core/Result.h"

#include <filesystem>
#include <set>
#include <string>

// The cast codes of a member list (E99_member.csv): the first field of every line but the date line and
// empty lines, in UTF-8.
[[nodiscard]] Result<std::set<std::string>> read_member_codes(const std::filesystem::path& list);
