#pragma once

#include "core/DateTime.h"

#include <string>
#include <string_view>

// One line of the attendance log, without its line end: store code, "yyyy/m/d h:mm", cast code, name,
// mode, planned start, planned leave and IDm, joined by commas. The planned times are empty when the board
// had no row for the member; the line still has all eight fields.
[[nodiscard]] std::string log_line(std::string_view store, const DateTime& t, std::string_view code,
                                   std::string_view name, int mode, std::string_view planned_start,
                                   std::string_view planned_leave, std::string_view idm);
