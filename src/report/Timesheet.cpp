#include "report/Timesheet.h"

#include "report/ReportTime.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <span>
#include <thread>

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

// The names on the member's stamps of the reported days, each once, in the order of the stamps: a name met
// only on a stamp outside them is not the reported days' concern.
std::vector<std::string> names_of_days(const LogMember& m, std::span<const Stamp> stamps, std::int64_t first_day,
                                       std::int64_t last_day) {
    std::vector<std::uint16_t> seen;
    for (const Stamp& s : stamps) {
        const std::int64_t day = report::business_day_of(s.minute);
        if (s.name != no_name && day >= first_day && day <= last_day &&
            std::find(seen.begin(), seen.end(), s.name) == seen.end()) {
            seen.push_back(s.name);
        }
    }
    std::vector<std::string> names;
    names.reserve(seen.size());
    for (const auto n : seen) {
        names.push_back(m.names[n]);
    }
    return names;
}

std::vector<std::string> member_notes(const LogMember& m, const std::vector<std::string>& names,
                                      const std::optional<std::set<std::string>>& listed) {
    std::vector<std::string> notes;
    if (names.size() > 1) {
        notes.push_back("コードに氏名が複数: " + joined_notes(names));
    }
    // The keypad gives a card of a code the list did not have the name "<code>".
    if (std::find(names.begin(), names.end(), "<" + m.code + ">") != names.end()) {
        notes.push_back("キーで仮登録したカード");
    }
    if (listed && listed->count(m.code) == 0) {
        notes.push_back("メンバーリストにないコード");
    }
    return notes;
}

std::optional<MemberSheet> member_sheet(const LogMember& m, std::span<Stamp> stamps, std::int64_t first_day,
                                        std::int64_t last_day, const std::optional<std::set<std::string>>& listed,
                                        int week_start) {
    // A journal's changes are shown beside what the logs alone give.
    std::vector<Stamp> as_logged;
    if (!m.corrections.empty()) {
        as_logged.assign(stamps.begin(), stamps.end());
    }
    PairedDays paired = pair_stays(stamps);
    const PairedDays logged = m.corrections.empty() ? PairedDays{} : pair_stays(as_logged, StampReading::AsLogged);
    add_corrected_days(m.corrections, logged, paired);
    std::erase_if(paired.days,
                  [&](const MemberDay& d) { return d.day < week_lookback(first_day) || d.day > last_day; });
    MemberSheet sheet;
    for (const MemberDay& d : paired.days) {
        sheet.figures.push_back(day_figures(d));
    }
    sheet.law = member_law(sheet.figures, first_day, week_start);
    // The days before the range were wanted for their week's hours only: not shown, their corrections not
    // listed, their names not taken.
    const auto before =
        std::find_if(paired.days.begin(), paired.days.end(), [&](const MemberDay& d) { return d.day >= first_day; }) -
        paired.days.begin();
    paired.days.erase(paired.days.begin(), paired.days.begin() + before);
    sheet.figures.erase(sheet.figures.begin(), sheet.figures.begin() + before);
    if (paired.days.empty()) {
        return std::nullopt;
    }
    const std::vector<std::string> names = names_of_days(m, stamps, first_day, last_day);
    sheet.store = m.store;
    sheet.code = m.code;
    sheet.name = !names.empty() ? names.front() : m.names.empty() ? std::string() : m.names.front();
    sheet.notes = member_notes(m, names, listed);
    for (const DayFigures& f : sheet.figures) {
        sheet.totals.add(f);
    }
    sheet.days = std::move(paired.days);
    if (!m.corrections.empty()) {
        sheet.corrections = corrections_by_day(m.corrections, logged, paired, sheet.days);
    }
    sheet.stays = std::move(paired.stays);
    sheet.day_notes = std::move(paired.notes);
    return sheet;
}

std::size_t anomalies_of(const MemberSheet& s) {
    std::size_t n = s.notes.size();
    for (const auto& d : s.days) {
        n += d.notes.size();
    }
    return n;
}

// Members paired together: enough for the threads to share, few enough that their days are soon written.
constexpr std::size_t batch_members = 512;

// Pairs the members of the batch, a run of them on each thread: members are paired apart from each other.
void pair_members(const CollectedStamps& collected, const std::vector<std::size_t>& batch,
                  std::vector<std::optional<MemberSheet>>& sheets, std::int64_t first_day, std::int64_t last_day,
                  const std::optional<std::set<std::string>>& listed, unsigned threads, int week_start) {
    const auto pair_run = [&](std::size_t first, std::size_t end) {
        std::vector<Stamp> stamps;
        for (std::size_t i = first; i < end; ++i) {
            const std::size_t member = batch[i];
            collected.stamps.copy_out(static_cast<std::uint32_t>(member), stamps);
            sheets[i] = member_sheet(collected.members[member], stamps, first_day, last_day, listed, week_start);
        }
    };
    const std::size_t runs = std::clamp<std::size_t>(threads, 1, std::max<std::size_t>(1, batch.size()));
    std::vector<std::jthread> workers;
    for (std::size_t r = 1; r < runs; ++r) {
        workers.emplace_back(pair_run, batch.size() * r / runs, batch.size() * (r + 1) / runs);
    }
    pair_run(0, batch.size() / runs);
}

// One store's sheet of the members sheets[first, end): those with days in the range, by code, and the totals.
StoreSheet store_sheet(std::vector<std::optional<MemberSheet>>& sheets, std::size_t first, std::size_t end) {
    StoreSheet store;
    for (std::size_t i = first; i < end; ++i) {
        if (sheets[i]) {
            store.store = sheets[i]->store;
            store.members.push_back(std::move(*sheets[i]));
        }
    }
    std::sort(store.members.begin(), store.members.end(),
              [](const MemberSheet& a, const MemberSheet& b) { return code_before(a.code, b.code); });
    for (const auto& m : store.members) {
        store.totals.add(m.totals);
        store.anomalies += anomalies_of(m);
    }
    return store;
}

} // namespace

std::string joined_notes(const std::vector<std::string>& texts) {
    std::string out;
    for (const auto& t : texts) {
        out += (out.empty() ? "" : " / ") + t;
    }
    return out;
}

std::string note_text(const DayNote& note) {
    const std::string when = report::date_text(report::floor_div(note.minute, report::minutes_per_day)) + " " +
                             report::clock_text(note.minute);
    return note.kind == DayNote::Kind::NoShiftOut ? "退勤なし (出勤 " + when + ")" : "出勤なし (退勤 " + when + ")";
}

std::vector<std::string> day_note_texts(const MemberDay& day) {
    std::vector<std::string> out;
    for (const auto& n : day.notes) {
        out.push_back(note_text(n));
    }
    return out;
}

std::vector<std::string> day_notes(const MemberSheet& m, std::size_t i) {
    std::vector<std::string> out = day_note_texts(m.days[i]);
    for (auto& n : law_day_notes(m.law.days[i])) {
        out.push_back(std::move(n));
    }
    return out;
}

void for_each_store_sheet(CollectedStamps& collected, std::int64_t first_day, std::int64_t last_day,
                          const std::optional<std::set<std::string>>& listed_codes, unsigned threads, int week_start,
                          const std::function<void(StoreSheet&)>& each) {
    std::map<std::string, std::vector<std::size_t>> by_store; // the members of each store, by store code
    for (std::size_t i = 0; i < collected.members.size(); ++i) {
        by_store[collected.members[i].store].push_back(i);
    }
    std::vector<std::size_t> batch;           // members of the stores paired together
    std::vector<std::size_t> batch_stores{0}; // where each store of the batch begins in it
    std::vector<std::optional<MemberSheet>> sheets;
    const auto pair_batch = [&] {
        sheets.clear();
        sheets.resize(batch.size());
        pair_members(collected, batch, sheets, first_day, last_day, listed_codes, threads, week_start);
        for (std::size_t s = 0; s + 1 < batch_stores.size(); ++s) {
            StoreSheet store = store_sheet(sheets, batch_stores[s], batch_stores[s + 1]);
            if (!store.members.empty()) {
                each(store);
            }
        }
        batch.clear();
        batch_stores.assign(1, 0);
    };
    for (auto it = by_store.begin(); it != by_store.end(); ++it) {
        batch.insert(batch.end(), it->second.begin(), it->second.end());
        batch_stores.push_back(batch.size());
        if (batch.size() >= batch_members || std::next(it) == by_store.end()) {
            pair_batch();
        }
    }
    collected.stamps.clear();
}

Timesheet build_timesheet(CollectedStamps& collected, std::int64_t first_day, std::int64_t last_day,
                          const std::optional<std::set<std::string>>& listed_codes, unsigned threads, int week_start) {
    Timesheet t;
    for_each_store_sheet(collected, first_day, last_day, listed_codes, threads, week_start, [&](StoreSheet& store) {
        t.members += store.members.size();
        t.anomalies += store.anomalies;
        t.stores.push_back(std::move(store));
    });
    return t;
}
