#include "report/PayrollWriter.h"

#include "core/Cp932.h"
#include "report/CsvWriter.h"
#include "report/ReportTime.h"

namespace {

const std::vector<std::string> header = {"店舗",     "コード",   "氏名",         "出勤日数", "勤務時間",
                                         "時間外",   "60時間超", "深夜",         "遅刻回数", "遅刻時間",
                                         "早退回数", "早退時間", "休憩不足日数", "修正件数"};

} // namespace

std::size_t corrections_applied(const MemberSheet& m) {
    std::size_t n = 0;
    for (const DayCorrections& day : m.corrections) {
        n += day.applied.size();
    }
    return n;
}

std::int64_t rounded_to_hour(std::int64_t minutes) {
    const std::int64_t part = minutes % 60;
    return minutes - part + (part >= 30 ? 60 : 0);
}

std::string decimal_hours_text(std::int64_t minutes) {
    const std::int64_t hundredths = (minutes * 100 + 30) / 60;
    const std::string cents = std::to_string(hundredths % 100);
    return std::to_string(hundredths / 100) + "." + (cents.size() < 2 ? "0" : "") + cents;
}

PayrollFigures payroll_figures(const MemberSheet& m, bool round_monthly) {
    PayrollFigures p;
    p.days = m.totals.days;
    p.worked = m.totals.worked;
    p.late = m.totals.late;
    p.early = m.totals.early;
    for (const DayFigures& f : m.figures) {
        p.late_days += f.late.value_or(0) > 0 ? 1 : 0;
        p.early_days += f.early.value_or(0) > 0 ? 1 : 0;
    }
    p.short_break_days = m.law.totals.short_break_days;
    p.corrections = corrections_applied(m);
    if (!round_monthly) {
        p.overtime = m.law.totals.overtime;
        p.beyond_60 = m.law.totals.beyond_60;
        p.night = m.totals.night;
        return p;
    }
    for (const MonthLaw& mo : m.law.months) {
        p.overtime += rounded_to_hour(mo.overtime);
        p.beyond_60 += rounded_to_hour(mo.beyond_60);
        p.night += rounded_to_hour(mo.night);
    }
    return p;
}

PayrollWriter::PayrollWriter(std::ostream& out, PayrollFormat format) : out_(out), format_(format) {
    const std::string head = csv_row(header);
    out_ << (format_.utf8 ? head : cp932::from_utf8(head));
}

void PayrollWriter::store(const StoreSheet& store) {
    const auto hours = [&](std::int64_t minutes) {
        return format_.decimal_hours ? decimal_hours_text(minutes) : report::duration_text(minutes);
    };
    std::string rows;
    for (const MemberSheet& m : store.members) {
        const PayrollFigures p = payroll_figures(m, format_.round_monthly);
        rows += csv_row({m.store, m.code, m.name, std::to_string(p.days), hours(p.worked), hours(p.overtime),
                         hours(p.beyond_60), hours(p.night), std::to_string(p.late_days), hours(p.late),
                         std::to_string(p.early_days), hours(p.early), std::to_string(p.short_break_days),
                         std::to_string(p.corrections)});
    }
    out_ << (format_.utf8 ? rows : cp932::from_utf8(rows));
}
