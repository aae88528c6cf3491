#include "report/CsvWriter.h"

#include "core/Cp932.h"
#include "report/ReportTime.h"

namespace {

const std::vector<std::string> header = {"店舗", "コード",  "氏名",     "営業日",   "出勤", "退勤", "勤務", "休憩",
                                         "深夜", "8時間超", "予定出勤", "予定退勤", "遅刻", "早退", "注意"};

constexpr std::size_t flush_size = std::size_t{1} << 20;

std::string joined(const std::vector<std::string>& texts) {
    std::string out;
    for (const auto& t : texts) {
        out += (out.empty() ? "" : " / ") + t;
    }
    return out;
}

std::string quoted(const std::string& f) {
    if (f.find_first_of(",\"\r\n") == std::string::npos) {
        return f;
    }
    std::string q = "\"";
    for (char c : f) {
        q += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return q + "\"";
}

// Rows built in one buffer in the file's encoding. Only the texts of the log and the labels need converting;
// they are converted once per member, the figures are ASCII in both encodings.
class CsvOut {
public:
    CsvOut(std::ostream& out, bool utf8) : out_(out), utf8_(utf8) { buf_.reserve(flush_size + 4096); }
    ~CsvOut() { flush(); }
    CsvOut(const CsvOut&) = delete;
    CsvOut& operator=(const CsvOut&) = delete;

    [[nodiscard]] std::string field(const std::string& text) const {
        return utf8_ ? quoted(text) : cp932::from_utf8(quoted(text));
    }
    std::string& row() { return buf_; }
    void end_row() {
        buf_ += "\r\n";
        if (buf_.size() >= flush_size) {
            flush();
        }
    }
    void flush() {
        out_.write(buf_.data(), static_cast<std::streamsize>(buf_.size()));
        buf_.clear();
    }

private:
    std::ostream& out_;
    bool utf8_;
    std::string buf_;
};

void duration(std::string& r, std::int64_t m) {
    report::append_duration(r, m);
    r += ',';
}

void clock_or_empty(std::string& r, const std::optional<std::int64_t>& m) {
    if (m) {
        report::append_clock(r, *m);
    }
    r += ',';
}

void day_row(CsvOut& out, const std::string& who, const MemberDay& d, const DayFigures& f) {
    std::string& r = out.row();
    r += who;
    report::append_date(r, f.day);
    r += ',';
    clock_or_empty(r, f.first_in);
    clock_or_empty(r, f.last_out);
    duration(r, f.worked);
    duration(r, f.breaks);
    duration(r, f.night);
    duration(r, f.overtime);
    clock_or_empty(r, f.planned_start);
    clock_or_empty(r, f.planned_leave);
    if (f.late) {
        report::append_duration(r, *f.late);
    }
    r += ',';
    if (f.early) {
        report::append_duration(r, *f.early);
    }
    r += ',';
    if (!d.notes.empty()) {
        r += out.field(joined(day_note_texts(d)));
    }
    out.end_row();
}

void total_row(CsvOut& out, const std::string& who_and_label, const Totals& t, const std::string& notes) {
    std::string& r = out.row();
    r += who_and_label;
    r += ",,,";
    duration(r, t.worked);
    duration(r, t.breaks);
    duration(r, t.night);
    duration(r, t.overtime);
    r += ",,";
    duration(r, t.late);
    duration(r, t.early);
    if (!notes.empty()) {
        r += out.field(notes);
    }
    out.end_row();
}

} // namespace

std::string csv_row(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        line += (i > 0 ? "," : "") + quoted(fields[i]);
    }
    return line + "\r\n";
}

void write_csv(const Timesheet& sheet, std::ostream& stream, bool utf8) {
    CsvOut out(stream, utf8);
    const std::string head = csv_row(header);
    out.row() += utf8 ? head : cp932::from_utf8(head);
    const std::string member_total = out.field("合計");
    const std::string store_total = out.field("店舗合計");
    for (const auto& store : sheet.stores) {
        const std::string store_field = out.field(store.store) + ",";
        for (const auto& m : store.members) {
            const std::string who = store_field + out.field(m.code) + "," + out.field(m.name) + ",";
            for (std::size_t i = 0; i < m.days.size(); ++i) {
                day_row(out, who, m.days[i], day_figures(m.days[i]));
            }
            total_row(out, who + member_total, m.totals, joined(m.notes));
        }
        total_row(out, store_field + ",," + store_total, store.totals, "");
    }
}
