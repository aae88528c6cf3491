#include "report/CsvWriter.h"

#include "core/Cp932.h"
#include "report/ReportTime.h"

namespace {

const std::vector<std::string> header = {"店舗", "コード",  "氏名",     "営業日",   "出勤", "退勤", "勤務", "休憩",
                                         "深夜", "8時間超", "予定出勤", "予定退勤", "遅刻", "早退", "注意"};

std::string optional_clock(const std::optional<std::int64_t>& m) {
    return m ? report::clock_text(*m) : std::string();
}

std::string optional_duration(const std::optional<std::int64_t>& m) {
    return m ? report::duration_text(*m) : std::string();
}

std::string joined(const std::vector<std::string>& texts) {
    std::string out;
    for (const auto& t : texts) {
        out += (out.empty() ? "" : " / ") + t;
    }
    return out;
}

std::vector<std::string> day_row(const MemberSheet& m, const MemberDay& d, const DayFigures& f) {
    using report::duration_text;
    return {m.store,
            m.code,
            m.name,
            report::date_text(f.day),
            optional_clock(f.first_in),
            optional_clock(f.last_out),
            duration_text(f.worked),
            duration_text(f.breaks),
            duration_text(f.night),
            duration_text(f.overtime),
            f.planned_start ? report::clock_text(*f.planned_start) : std::string(),
            f.planned_leave ? report::clock_text(*f.planned_leave) : std::string(),
            optional_duration(f.late),
            optional_duration(f.early),
            joined(day_note_texts(d))};
}

std::vector<std::string> total_row(const std::string& store, const std::string& code, const std::string& name,
                                   const std::string& label, const Totals& t, const std::string& notes) {
    using report::duration_text;
    return {store,
            code,
            name,
            label,
            "",
            "",
            duration_text(t.worked),
            duration_text(t.breaks),
            duration_text(t.night),
            duration_text(t.overtime),
            "",
            "",
            duration_text(t.late),
            duration_text(t.early),
            notes};
}

} // namespace

std::string csv_row(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string& f = fields[i];
        if (i > 0) {
            line += ',';
        }
        if (f.find_first_of(",\"\r\n") == std::string::npos) {
            line += f;
            continue;
        }
        line += '"';
        for (char c : f) {
            line += c == '"' ? std::string("\"\"") : std::string(1, c);
        }
        line += '"';
    }
    return line + "\r\n";
}

void write_csv(const Timesheet& sheet, std::ostream& out, bool utf8) {
    const auto put = [&](const std::vector<std::string>& fields) {
        const std::string row = csv_row(fields);
        out << (utf8 ? row : cp932::from_utf8(row));
    };
    put(header);
    for (const auto& store : sheet.stores) {
        for (const auto& m : store.members) {
            for (std::size_t i = 0; i < m.days.size(); ++i) {
                put(day_row(m, m.days[i], m.figures[i]));
            }
            put(total_row(m.store, m.code, m.name, "合計", m.totals, joined(m.notes)));
        }
        put(total_row(store.store, "", "", "店舗合計", store.totals, ""));
    }
}
