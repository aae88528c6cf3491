#pragma once

#include "check/Problems.h"

#include <filesystem>
#include <set>
#include <string>

// Checks a shift plan as the recorder loads it on each day it names: the lines at which the loading stops,
// days no date matches, the planned times the board cannot show and, given the member list's names
// (members), names that no member's stamp would find. shown is the file as the user named it; file is
// where its bytes are read.
void check_shift_plan(const std::string& shown, const std::filesystem::path& file, const std::set<std::string>* members,
                      Problems& problems);
