#include "report/Timesheet.h"

#include "report/ReportTime.h"

#include <algorithm>
#include <map>

namespace {

bool all_digits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Codes in numeric order where both are numbers, else in text order.
bool code_before(const std::string& a, const std::string& b) {
    if (all_digits(a) && all_digits(b) && a.size() != b.size()) {
        return a.size() < b.size();
    }
    return a < b;
}

std::vector<std::string> member_notes(const MemberStamps& m, const std::optional<std::set<std::string>>& listed) {
    std::vector<std::string> notes;
    if (m.names.size() > 1) {
        std::string all;
        for (const auto& n : m.names) {
            all += (all.empty() ? "" : " / ") + n;
        }
        notes.push_back("コードに氏名が複数: " + all);
    }
    // The keypad gives a card of a code the list did not have the name "<code>".
    if (std::find(m.names.begin(), m.names.end(), "<" + m.code + ">") != m.names.end()) {
        notes.push_back("キーで仮登録したカード");
    }
    if (listed && listed->count(m.code) == 0) {
        notes.push_back("メンバーリストにないコード");
    }
    return notes;
}

std::optional<MemberSheet> member_sheet(MemberStamps& m, std::int64_t first_day, std::int64_t last_day,
                                        const std::optional<std::set<std::string>>& listed) {
    std::vector<MemberDay> days = pair_stays(m.stamps);
    std::vector<Stamp>().swap(m.stamps);
    std::erase_if(days, [&](const MemberDay& d) { return d.day < first_day || d.day > last_day; });
    if (days.empty()) {
        return std::nullopt;
    }
    MemberSheet sheet;
    sheet.store = m.store;
    sheet.code = m.code;
    sheet.name = m.names.empty() ? std::string() : m.names.front();
    sheet.notes = member_notes(m, listed);
    for (const MemberDay& d : days) {
        sheet.totals.add(day_figures(d));
    }
    sheet.days = std::move(days);
    return sheet;
}

std::size_t anomalies_of(const MemberSheet& s) {
    std::size_t n = s.notes.size();
    for (const auto& d : s.days) {
        n += d.notes.size();
    }
    return n;
}

} // namespace

std::string note_text(const DayNote& note) {
    const std::string when =
        report::date_text(note.minute / report::minutes_per_day) + " " + report::clock_text(note.minute);
    return note.kind == DayNote::Kind::NoShiftOut ? "退勤なし (出勤 " + when + ")" : "出勤なし (退勤 " + when + ")";
}

std::vector<std::string> day_note_texts(const MemberDay& day) {
    std::vector<std::string> out;
    for (const auto& n : day.notes) {
        out.push_back(note_text(n));
    }
    return out;
}

Timesheet build_timesheet(std::vector<MemberStamps>& members, std::int64_t first_day, std::int64_t last_day,
                          const std::optional<std::set<std::string>>& listed_codes) {
    std::map<std::string, StoreSheet> stores;
    for (auto& m : members) {
        auto sheet = member_sheet(m, first_day, last_day, listed_codes);
        if (!sheet) {
            continue;
        }
        StoreSheet& store = stores[sheet->store];
        store.store = sheet->store;
        store.members.push_back(std::move(*sheet));
    }
    Timesheet t;
    for (auto& [code, store] : stores) {
        std::sort(store.members.begin(), store.members.end(),
                  [](const MemberSheet& a, const MemberSheet& b) { return code_before(a.code, b.code); });
        for (const auto& m : store.members) {
            store.totals.add(m.totals);
            t.anomalies += anomalies_of(m);
        }
        t.members += store.members.size();
        t.stores.push_back(std::move(store));
    }
    return t;
}
