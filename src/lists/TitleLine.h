#pragma once

#include <string_view>

// The first field of the line that titles a member list (its date) or a shift plan (its heading) rather than
// naming a member.
inline constexpr std::string_view title_line_code = "99999";
