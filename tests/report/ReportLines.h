#pragma once

#include "core/Cp932.h"
#include "report/ReportTime.h"
#include "report/StampCollector.h"
#include "report/Timesheet.h"

#include <string>
#include <vector>

// Log lines of store T01 as the recorder writes them, and the timesheet the report makes of them.
inline std::string stamp(const std::string& when, const std::string& code, const std::string& name, int mode,
                         const std::string& plan_start = "", const std::string& plan_leave = "") {
    return "T01," + when + "," + code + "," + name + "," + std::to_string(mode) + "," + plan_start + "," + plan_leave +
           ",IDM" + code;
}

inline std::int64_t day_of(int y, int m, int d) {
    return report::days_from_civil(y, m, d);
}

inline Timesheet sheet_of(const std::vector<std::string>& lines, std::int64_t first_day = INT32_MIN,
                          std::int64_t last_day = INT32_MAX, const std::optional<std::set<std::string>>& listed = {},
                          int week_start = 0) {
    StampCollector c(pairing_window(week_lookback(first_day), last_day));
    for (const auto& l : lines) {
        c.add_line(cp932::from_utf8(l));
    }
    return build_timesheet(c.collected(), first_day, last_day, listed, 1, week_start);
}
