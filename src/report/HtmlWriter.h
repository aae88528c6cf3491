#pragma once

#include "report/Timesheet.h"

#include <ostream>
#include <string>
#include <string_view>

// The timesheet as one self-contained HTML page (UTF-8, no outside resources): per store the month's totals,
// the anomalies, a table per member and, per business day, a timeline (inline SVG) of who was in the shop
// when, planned beside actual. Laid out to print on A4.
void write_html(const Timesheet& sheet, std::ostream& out, std::string_view subtitle);

[[nodiscard]] std::string html_escape(std::string_view text);
