#pragma once

#include <ostream>
#include <string>
#include <vector>

// The whole of timerecorder-report: reads the options and the logs, writes the timesheet to out (or the
// output file) and the summary and the errors to err. Returns the exit status: 0, 1 when an input could not
// be read (what could be read is still reported), 2 for a usage error.
[[nodiscard]] int run_report(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
