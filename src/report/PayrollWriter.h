#pragma once

#include "report/Timesheet.h"

#include <cstdint>
#include <ostream>
#include <string>

// The payroll file: a header and one row per member and store for the whole range, as payroll packages import
// a month. No subtotal rows, no empty columns. Code page 932 or UTF-8, CR LF.
struct PayrollFormat {
    bool utf8 = false;
    bool decimal_hours = false; // 8.25 instead of 8:15
    bool round_monthly = false; // each month's overtime, beyond-60-hours and night totals to the hour
};

// A member's row in minutes and counts.
struct PayrollFigures {
    std::int64_t days = 0;
    std::int64_t worked = 0;
    std::int64_t overtime = 0;
    std::int64_t beyond_60 = 0;
    std::int64_t night = 0;
    std::int64_t late_days = 0;
    std::int64_t late = 0;
    std::int64_t early_days = 0;
    std::int64_t early = 0;
    std::int64_t short_break_days = 0;
    std::size_t corrections = 0;
};

[[nodiscard]] PayrollFigures payroll_figures(const MemberSheet& m, bool round_monthly);

// The corrections of the journal applied to the member's stamps.
[[nodiscard]] std::size_t corrections_applied(const MemberSheet& m);

// A month's total to the hour: under 30 minutes dropped, 30 or more up to the next hour.
[[nodiscard]] std::int64_t rounded_to_hour(std::int64_t minutes);
// Hours with two decimals, the nearest to the exact minutes (never a tie): 0:20 is "0.33".
[[nodiscard]] std::string decimal_hours_text(std::int64_t minutes);

class PayrollWriter {
public:
    PayrollWriter(std::ostream& out, PayrollFormat format);
    void store(const StoreSheet& store);

private:
    std::ostream& out_;
    PayrollFormat format_;
};
