#pragma once

#include "report/Timesheet.h"

#include <ostream>
#include <string>
#include <vector>

// The timesheet as CSV: a header row, one row per member and business day, a total row per member and one
// per store. Lines end with CR LF; the text is code page 932 (what spreadsheet programs in Japanese offices
// open directly) or UTF-8 without a byte-order mark.
void write_csv(const Timesheet& sheet, std::ostream& out, bool utf8);

// One CSV row with its CR LF; a field holding a comma, a double quote or a line end is quoted.
[[nodiscard]] std::string csv_row(const std::vector<std::string>& fields);
