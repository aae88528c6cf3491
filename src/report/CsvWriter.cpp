#include "report/CsvWriter.h"

#include "core/Cp932.h"
#include "report/ReportTime.h"

namespace {

const std::vector<std::string> header = {"店舗", "コード", "氏名", "営業日", "出勤", "退勤", "勤務", "休憩", "深夜",
                                         "8時間超", "週40時間超", "時間外", "60時間超", "予定出勤", "予定退勤", "遅刻",
                                         "早退", "注意",
                                         // after the columns spreadsheets already take by their place
                                         "打刻出勤", "打刻退勤", "修正"};

constexpr std::size_t flush_size = std::size_t{1} << 20;

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

} // namespace

// Rows built in the writer's buffer in the file's encoding. Only the texts of the log and the labels need
// converting; they are converted once per member, the figures are ASCII in both encodings.
class CsvRows {
public:
    explicit CsvRows(CsvSheetWriter& w) : w_(w) {}

    [[nodiscard]] std::string field(const std::string& text) const {
        return w_.utf8_ ? quoted(text) : cp932::from_utf8(quoted(text));
    }
    std::string& row() { return w_.buf_; }
    void end_row() {
        w_.buf_ += "\r\n";
        if (w_.buf_.size() >= flush_size) {
            flush();
        }
    }
    void flush() {
        w_.out_.write(w_.buf_.data(), static_cast<std::streamsize>(w_.buf_.size()));
        w_.buf_.clear();
    }

private:
    CsvSheetWriter& w_;
};

namespace {

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

// The first shift-in and last shift-out stamped in the logs alone, and the corrections of the day.
void corrections_fields(CsvRows& out, const MemberDay& d, const DayCorrections* c) {
    std::string& r = out.row();
    const DayCorrections stamped = c != nullptr ? DayCorrections{} : stamped_ends(d);
    const auto& logged_in = c != nullptr ? c->logged_in : stamped.logged_in;
    const auto& logged_out = c != nullptr ? c->logged_out : stamped.logged_out;
    r += ',';
    clock_or_empty(r, logged_in);
    if (logged_out) {
        report::append_clock(r, *logged_out);
    }
    if (c != nullptr && !c->applied.empty()) {
        std::vector<std::string> texts;
        for (const Correction* applied : c->applied) {
            texts.push_back(correction_text(*applied));
        }
        r += ',' + out.field(joined_notes(texts));
    } else {
        r += ',';
    }
}

void law_figures(std::string& r, std::int64_t weekly, std::int64_t overtime, std::int64_t beyond_60) {
    duration(r, weekly);
    duration(r, overtime);
    duration(r, beyond_60);
}

void day_row(CsvRows& out, const std::string& who, const MemberSheet& m, std::size_t i) {
    const DayFigures& f = m.figures[i];
    const DayLaw& law = m.law.days[i];
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
    law_figures(r, law.weekly, law.overtime, law.beyond_60);
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
    if (const auto notes = day_notes(m, i); !notes.empty()) {
        r += out.field(joined_notes(notes));
    }
    corrections_fields(out, m.days[i], m.corrections.empty() ? nullptr : &m.corrections[i]);
    out.end_row();
}

void total_row(CsvRows& out, const std::string& who_and_label, const Totals& t, const LawTotals& law,
               const std::string& notes) {
    std::string& r = out.row();
    r += who_and_label;
    r += ",,,";
    duration(r, t.worked);
    duration(r, t.breaks);
    duration(r, t.night);
    duration(r, t.overtime);
    law_figures(r, law.weekly, law.overtime, law.beyond_60);
    r += ",,";
    duration(r, t.late);
    duration(r, t.early);
    if (!notes.empty()) {
        r += out.field(notes);
    }
    r += ",,,";
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

CsvSheetWriter::CsvSheetWriter(std::ostream& out, bool utf8) : out_(out), utf8_(utf8) {
    buf_.reserve(flush_size + 4096);
    CsvRows rows(*this);
    const std::string head = csv_row(header);
    rows.row() += utf8 ? head : cp932::from_utf8(head);
    member_total_ = rows.field("合計");
    store_total_ = rows.field("店舗合計");
}

CsvSheetWriter::~CsvSheetWriter() {
    CsvRows(*this).flush();
}

void CsvSheetWriter::store(const StoreSheet& store) {
    CsvRows out(*this);
    const std::string store_field = out.field(store.store) + ",";
    LawTotals store_law;
    for (const auto& m : store.members) {
        const std::string who = store_field + out.field(m.code) + "," + out.field(m.name) + ",";
        for (std::size_t i = 0; i < m.days.size(); ++i) {
            day_row(out, who, m, i);
        }
        std::vector<std::string> notes = m.notes;
        const auto law_notes = law_month_notes(m.law);
        notes.insert(notes.end(), law_notes.begin(), law_notes.end());
        total_row(out, who + member_total_, m.totals, m.law.totals, joined_notes(notes));
        store_law.add(m.law.totals);
    }
    total_row(out, store_field + ",," + store_total_, store.totals, store_law, "");
}
