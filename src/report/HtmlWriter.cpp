#include "report/HtmlWriter.h"

#include "report/ReportTime.h"

#include <algorithm>
#include <map>

namespace {

using report::clock_text;
using report::duration_text;

constexpr const char* style = R"(
@page { size: A4; margin: 12mm; }
body { font-family: sans-serif; font-size: 10pt; color: #222; max-width: 186mm; margin: 0 auto; }
h1 { font-size: 16pt; margin: 0 0 2mm; }
h2 { font-size: 13pt; border-bottom: 2px solid #2a7a4b; margin: 6mm 0 2mm; page-break-before: auto; }
h3 { font-size: 11pt; margin: 4mm 0 1mm; }
table { border-collapse: collapse; width: 100%; margin-bottom: 3mm; page-break-inside: auto; }
tr { page-break-inside: avoid; }
th, td { border: 1px solid #bbb; padding: 0.6mm 1.2mm; text-align: right; white-space: nowrap; }
th { background: #e8f1ec; }
td.text, th.text { text-align: left; white-space: normal; }
tr.total td, tfoot td { font-weight: bold; background: #f3f3f3; }
.note { color: #b00020; }
td.fixed { background: #fff3c4; }
.logged { display: block; font-size: 8pt; color: #666; }
.fix { color: #8a5a00; }
ul.notes { margin: 0 0 3mm; padding-left: 5mm; }
ul.months { margin: 0 0 3mm; padding-left: 5mm; font-size: 9pt; }
figure { margin: 0 0 3mm; page-break-inside: avoid; }
figcaption { font-weight: bold; margin-bottom: 1mm; }
svg { width: 100%; height: auto; }
.legend span { display: inline-block; width: 8mm; height: 3mm; vertical-align: middle; margin: 0 1mm 0 3mm; }
)";

constexpr double label_width = 130;
constexpr double chart_width = 560;
constexpr double row_height = 16;
constexpr double axis_height = 14;

std::string cell(const std::string& text, const char* cls = nullptr) {
    std::string c = cls != nullptr ? std::string(" class=\"") + cls + "\"" : std::string();
    return "<td" + c + ">" + html_escape(text) + "</td>";
}

std::string number(double v) {
    std::string s = std::to_string(static_cast<long long>(v * 10 + (v < 0 ? -0.5 : 0.5)));
    if (s.size() == 1 || (s.size() == 2 && s[0] == '-')) {
        s.insert(s.size() - 1, "0");
    }
    s.insert(s.size() - 1, ".");
    return s;
}

std::string opt_clock(const std::optional<std::int64_t>& m) {
    return m ? clock_text(*m) : std::string();
}

std::string opt_duration(const std::optional<std::int64_t>& m) {
    return m ? duration_text(*m) : std::string();
}

std::string stays_text(const MemberDay& d) {
    std::vector<std::string> parts;
    for (const auto& s : d.stays) {
        parts.push_back(clock_text(s.in) + "–" + clock_text(s.out));
    }
    return joined_notes(parts);
}

void store_totals(std::ostream& out, const StoreSheet& store) {
    out << "<table class=\"totals\"><thead><tr><th>コード</th><th "
           "class=\"text\">氏名</th><th>出勤日数</th><th>勤務</th>"
           "<th>休憩</th><th>深夜</th><th>8時間超</th><th>時間外</th><th>60時間超</th><th>遅刻</th><th>早退</th>"
           "</tr></thead><tbody>\n";
    LawTotals store_law;
    for (const auto& m : store.members) {
        const Totals& t = m.totals;
        out << "<tr>" << cell(m.code) << cell(m.name, "text") << cell(std::to_string(t.days))
            << cell(duration_text(t.worked), "worked") << cell(duration_text(t.breaks)) << cell(duration_text(t.night))
            << cell(duration_text(t.overtime)) << cell(duration_text(m.law.totals.overtime), "overtime")
            << cell(duration_text(m.law.totals.beyond_60)) << cell(duration_text(t.late))
            << cell(duration_text(t.early)) << "</tr>\n";
        store_law.add(m.law.totals);
    }
    const Totals& t = store.totals;
    out << "</tbody><tfoot><tr><td></td><td class=\"text\">店舗合計</td>" << cell(std::to_string(t.days))
        << cell(duration_text(t.worked), "worked") << cell(duration_text(t.breaks)) << cell(duration_text(t.night))
        << cell(duration_text(t.overtime)) << cell(duration_text(store_law.overtime), "overtime")
        << cell(duration_text(store_law.beyond_60)) << cell(duration_text(t.late)) << cell(duration_text(t.early))
        << "</tr></tfoot></table>\n";
}

// A first shift-in or last shift-out that a journal changed: marked, with the logs' own time below it.
std::string clock_cell(const std::optional<std::int64_t>& now, const DayCorrections* c, bool in) {
    const auto& logged = c == nullptr ? now : in ? c->logged_in : c->logged_out;
    if (logged == now) {
        return cell(opt_clock(now));
    }
    return "<td class=\"fixed\">" + html_escape(opt_clock(now)) + "<span class=\"logged\">打刻 " +
           (logged ? clock_text(*logged) : std::string("なし")) + "</span></td>";
}

std::vector<std::string> correction_texts(const DayCorrections* c) {
    std::vector<std::string> texts;
    for (const Correction* applied : c != nullptr ? c->applied : std::vector<const Correction*>{}) {
        texts.push_back(correction_text(*applied));
    }
    return texts;
}

void note_list(std::ostream& out, const char* title, std::size_t count, const std::vector<std::string>& items,
               const char* list_class = "notes") {
    out << "<h3>" << title << " (" << count << " 件)</h3>\n";
    if (items.empty()) {
        return;
    }
    out << "<ul class=\"" << list_class << "\">\n";
    for (const auto& i : items) {
        out << "<li>" << html_escape(i) << "</li>\n";
    }
    out << "</ul>\n";
}

// Every correction applied, with its reason and author, where the office checks them.
void store_corrections(std::ostream& out, const StoreSheet& store) {
    std::vector<std::string> items;
    for (const auto& m : store.members) {
        for (std::size_t i = 0; i < m.corrections.size(); ++i) {
            for (const auto& t : correction_texts(&m.corrections[i])) {
                items.push_back(m.code + " " + m.name + ": " + t);
            }
        }
    }
    if (!items.empty()) {
        note_list(out, "修正", items.size(), items, "notes fix");
    }
}

void store_notes(std::ostream& out, const StoreSheet& store) {
    std::vector<std::string> items;
    for (const auto& m : store.members) {
        const std::string who = m.code + " " + m.name + ": ";
        for (const auto& n : m.notes) {
            items.push_back(who + n);
        }
        for (const auto& d : m.days) {
            for (const auto& n : day_note_texts(d)) {
                items.push_back(who + n);
            }
        }
    }
    note_list(out, "注意", items.size(), items);
}

// Short breaks and months past a limit of the overtime agreement, member by member.
// A member's days short of break make one line, each month past a limit one more.
void store_law_notes(std::ostream& out, const StoreSheet& store) {
    std::vector<std::string> items;
    std::size_t count = 0;
    for (const auto& m : store.members) {
        const std::string who = m.code + " " + m.name + ": ";
        std::vector<std::string> days;
        for (std::size_t i = 0; i < m.days.size(); ++i) {
            if (m.law.days[i].short_break) {
                days.push_back(report::date_text(m.days[i].day));
            }
        }
        if (!days.empty()) {
            items.push_back(who + "休憩不足 " + std::to_string(days.size()) + " 日 (" + joined_notes(days) + ")");
        }
        for (const auto& n : law_month_notes(m.law)) {
            items.push_back(who + n);
            ++count;
        }
        count += days.size();
    }
    note_list(out, "法定の注意", count, items);
}

// Each month's overtime (beyond 8 hours a day and 40 a week), its part past 60 hours and the limits passed.
void member_months(std::ostream& out, const MemberLaw& law) {
    out << "<ul class=\"months\">\n";
    for (const auto& mo : law.months) {
        out << "<li>" << month_text(mo.year, mo.month) << " 時間外 " << duration_text(mo.overtime) << "・60時間超 "
            << duration_text(mo.beyond_60) << "・深夜 " << duration_text(mo.night);
        if (!mo.notes.empty()) {
            out << " <span class=\"note\">" << html_escape(joined_notes(mo.notes)) << "</span>";
        }
        out << "</li>\n";
    }
    out << "</ul>\n";
}

void member_table(std::ostream& out, const MemberSheet& m) {
    out << "<h3>" << html_escape(m.code + " " + m.name) << "</h3>\n";
    if (!m.notes.empty()) {
        out << "<p class=\"note\">" << html_escape(joined_notes(m.notes)) << "</p>\n";
    }
    out << "<table class=\"member\"><thead><tr><th>営業日</th><th>出勤</th><th>退勤</th><th>勤務</th><th>休憩</th>"
           "<th>深夜</th><th>8時間超</th><th>時間外</th><th>予定</th><th>遅刻</th><th>早退</th>"
           "<th class=\"text\">内訳・注意</th>"
           "</tr></thead><tbody>\n";
    for (std::size_t i = 0; i < m.days.size(); ++i) {
        const DayFigures& f = m.figures[i];
        const std::string plan = (f.planned_start ? clock_text(*f.planned_start) : std::string()) +
                                 (f.planned_start || f.planned_leave ? "–" : "") +
                                 (f.planned_leave ? clock_text(*f.planned_leave) : std::string());
        const auto notes = day_notes(m, i);
        const DayCorrections* fixes = m.corrections.empty() ? nullptr : &m.corrections[i];
        const auto fix_texts = correction_texts(fixes);
        out << "<tr>" << cell(report::date_text(f.day)) << clock_cell(f.first_in, fixes, true)
            << clock_cell(f.last_out, fixes, false) << cell(duration_text(f.worked), "worked")
            << cell(duration_text(f.breaks)) << cell(duration_text(f.night)) << cell(duration_text(f.overtime))
            << cell(duration_text(m.law.days[i].overtime)) << cell(plan) << cell(opt_duration(f.late))
            << cell(opt_duration(f.early)) << "<td class=\"text\">" << html_escape(stays_text(m.days[i]))
            << (notes.empty() ? "" : " <span class=\"note\">" + html_escape(joined_notes(notes)) + "</span>")
            << (fix_texts.empty() ? ""
                                  : " <span class=\"fix\">修正: " + html_escape(joined_notes(fix_texts)) + "</span>")
            << "</td></tr>\n";
    }
    const Totals& t = m.totals;
    out << "<tr class=\"total\"><td>合計</td><td></td><td></td>" << cell(duration_text(t.worked), "worked")
        << cell(duration_text(t.breaks)) << cell(duration_text(t.night)) << cell(duration_text(t.overtime))
        << cell(duration_text(m.law.totals.overtime)) << "<td></td>" << cell(duration_text(t.late))
        << cell(duration_text(t.early)) << "<td></td></tr>\n";
    out << "</tbody></table>\n";
    member_months(out, m.law);
}

struct DayRow {
    const MemberSheet* member;
    const MemberDay* day;
};

// One business day: an hour axis from 5:00, stretched when a stay runs on past the next 5:00.
void timeline(std::ostream& out, std::int64_t day, const std::vector<DayRow>& rows) {
    const std::int64_t start = report::business_day_start(day);
    std::int64_t end = start + report::minutes_per_day;
    for (const auto& r : rows) {
        for (const auto& s : r.day->stays) {
            end = std::max(end, report::floor_div(s.out + 59, 60) * 60);
        }
    }
    const double scale = chart_width / static_cast<double>(end - start);
    const auto x = [&](std::int64_t minute) {
        return number(label_width + static_cast<double>(minute - start) * scale);
    };
    const double height = axis_height + row_height * static_cast<double>(rows.size()) + 2;
    out << "<figure><figcaption>" << html_escape(report::date_text(day)) << "</figcaption>\n"
        << "<svg viewBox=\"0 0 " << number(label_width + chart_width + 10) << " " << number(height)
        << "\" role=\"img\" font-family=\"sans-serif\" font-size=\"9\">\n";
    for (std::int64_t h = start; h <= end; h += 60) {
        const bool labelled = (h - start) % 180 == 0;
        out << "<line x1=\"" << x(h) << "\" y1=\"" << number(axis_height - 3) << "\" x2=\"" << x(h) << "\" y2=\""
            << number(height) << "\" stroke=\"" << (labelled ? "#bbb" : "#e4e4e4") << "\" stroke-width=\"0.5\"/>\n";
        if (labelled) {
            out << "<text x=\"" << x(h) << "\" y=\"9\" text-anchor=\"middle\" fill=\"#555\">" << clock_text(h)
                << "</text>\n";
        }
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double y = axis_height + row_height * static_cast<double>(i);
        const MemberDay& d = *rows[i].day;
        out << "<text x=\"2\" y=\"" << number(y + 11) << "\">"
            << html_escape(rows[i].member->code + " " + rows[i].member->name) << "</text>\n";
        if (d.planned_start >= 0 && d.planned_leave >= 0) {
            const std::int64_t ps = planned_moment(day, d.planned_start, false);
            std::int64_t pl = planned_moment(day, d.planned_leave, true);
            pl = pl <= ps ? pl + report::minutes_per_day : pl;
            out << "<rect x=\"" << x(ps) << "\" y=\"" << number(y + 1) << "\" width=\""
                << number(static_cast<double>(pl - ps) * scale) << "\" height=\"4\" fill=\"#9bb7d4\"><title>予定 "
                << clock_text(ps) << "–" << clock_text(pl) << "</title></rect>\n";
        }
        for (const auto& s : d.stays) {
            out << "<rect x=\"" << x(s.in) << "\" y=\"" << number(y + 6) << "\" width=\""
                << number(std::max(1.0, static_cast<double>(s.out - s.in) * scale))
                << "\" height=\"8\" fill=\"#2a7a4b\">"
                << "<title>" << clock_text(s.in) << "–" << clock_text(s.out) << "</title></rect>\n";
        }
        for (const auto& n : d.notes) {
            out << "<circle cx=\"" << x(n.minute) << "\" cy=\"" << number(y + 10)
                << "\" r=\"3\" fill=\"#b00020\"><title>" << html_escape(note_text(n)) << "</title></circle>\n";
        }
    }
    out << "</svg></figure>\n";
}

void timelines(std::ostream& out, const StoreSheet& store) {
    std::map<std::int64_t, std::vector<DayRow>> days;
    for (const auto& m : store.members) {
        for (const auto& d : m.days) {
            days[d.day].push_back(DayRow{&m, &d});
        }
    }
    out << "<h3>在店の時間</h3>\n<p class=\"legend\"><span style=\"background:#9bb7d4\"></span>予定"
           "<span style=\"background:#2a7a4b\"></span>実績<span "
           "style=\"background:#b00020;width:3mm\"></span>注意</p>\n";
    for (const auto& [day, rows] : days) {
        timeline(out, day, rows);
    }
}

} // namespace

std::string html_escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void write_html(const Timesheet& sheet, std::ostream& out, std::string_view subtitle) {
    out << "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\">\n<title>勤務表</title>\n<style>" << style
        << "</style></head><body>\n<h1>勤務表</h1>\n<p>" << html_escape(subtitle) << "</p>\n";
    for (const auto& store : sheet.stores) {
        out << "<section class=\"store\"><h2>店舗 " << html_escape(store.store) << "</h2>\n";
        store_totals(out, store);
        store_notes(out, store);
        store_law_notes(out, store);
        store_corrections(out, store);
        for (const auto& m : store.members) {
            member_table(out, m);
        }
        timelines(out, store);
        out << "</section>\n";
    }
    out << "</body></html>\n";
}
