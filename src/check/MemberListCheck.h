#pragma once

#include "check/Problems.h"

#include <filesystem>
#include <set>
#include <string>

// Checks a member list as the recorder loads it: the date line, that there are members, that every member
// can stamp (a code, a name and a card IDm in the reader's form) and that no code or card belongs to two
// members. shown is the file as the user named it; file is where its bytes are read. Returns the members'
// names as the recorder's table holds them.
std::set<std::string> check_member_list(const std::string& shown, const std::filesystem::path& file,
                                        Problems& problems);
