#include "report/AppliedCorrections.h"

#include "core/Cp932.h"
#include "report/DayFigures.h"
#include "report/ReportTime.h"

#include <algorithm>
#include <unordered_map>

namespace {

std::string member_key(const std::string& store, const std::string& code) {
    return store + '\0' + code;
}

bool within(const Correction& c, const StampFilter& filter) {
    return c.minute >= filter.first_minute && c.minute < filter.end_minute &&
           (!filter.store || *filter.store == cp932::from_utf8(c.store)) &&
           (!filter.member || *filter.member == cp932::from_utf8(c.code));
}

// Marks the member's stamps of the logs that the 取消 names; how many there were (copies of one log hold the
// same stamp more than once: it is one stamp).
std::size_t void_stamps(CollectedStamps& collected, std::uint32_t member, const Correction& c) {
    std::size_t found = 0;
    collected.stamps.visit(member, [&](Stamp& s) {
        if (s.minute == c.minute && s.shift_in == c.shift_in && s.fix == StampFix::AsLogged) {
            s.fix = StampFix::Voided;
            ++found;
        }
    });
    return found;
}

std::int64_t day_of(const Correction& c, const PairedDays& logged, const PairedDays& corrected) {
    const auto& landed = c.add ? corrected.landed : logged.landed;
    for (const Landing& l : landed) {
        if (l.minute == c.minute && l.shift_in == c.shift_in) {
            return l.day;
        }
    }
    return report::business_day_of(c.minute);
}

} // namespace

std::size_t apply_corrections(Journal& journal, CollectedStamps& collected, const StampFilter& filter) {
    if (journal.corrections.empty()) {
        return 0;
    }
    std::unordered_map<std::string, std::uint32_t> members;
    for (std::size_t i = 0; i < collected.members.size(); ++i) {
        members.emplace(member_key(collected.members[i].store, collected.members[i].code),
                        static_cast<std::uint32_t>(i));
    }
    std::size_t applied = 0;
    for (const Correction& c : journal.corrections) {
        if (!within(c, filter)) {
            continue;
        }
        const auto it = members.find(member_key(c.store, c.code));
        if (!c.add && (it == members.end() || void_stamps(collected, it->second, c) == 0)) {
            journal.troubles.push_back(JournalTrouble{c.file, c.line, "取り消す打刻がログにありません"});
            continue;
        }
        std::uint32_t member = 0;
        if (it != members.end()) {
            member = it->second;
        } else {
            member = static_cast<std::uint32_t>(collected.members.size());
            collected.members.push_back(LogMember{c.store, c.code, {}, {}, {}});
            members.emplace(member_key(c.store, c.code), member);
        }
        if (c.add) {
            Stamp s;
            s.minute = c.minute;
            s.shift_in = c.shift_in;
            s.fix = StampFix::Added;
            collected.stamps.add(member, s);
        }
        collected.members[member].corrections.push_back(&c);
        ++applied;
    }
    return applied;
}

DayCorrections stamped_ends(const MemberDay& day) {
    DayCorrections c;
    if (!day.stays.empty()) {
        c.logged_in = day.stays.front().in;
        c.logged_out = day.stays.back().out;
    }
    for (const DayNote& n : day.notes) {
        auto& end = n.kind == DayNote::Kind::NoShiftOut ? c.logged_in : c.logged_out;
        const bool first = n.kind == DayNote::Kind::NoShiftOut;
        if (!end || (first ? n.minute < *end : n.minute > *end)) {
            end = n.minute;
        }
    }
    return c;
}

void add_corrected_days(const std::vector<const Correction*>& applied, const PairedDays& logged,
                        PairedDays& corrected) {
    for (const Correction* c : applied) {
        const std::int64_t day = day_of(*c, logged, corrected);
        const auto at = std::lower_bound(corrected.days.begin(), corrected.days.end(), day,
                                         [](const MemberDay& d, std::int64_t n) { return d.day < n; });
        if (at == corrected.days.end() || at->day != day) {
            MemberDay d;
            d.day = day;
            corrected.days.insert(at, d);
        }
    }
}

std::vector<DayCorrections> corrections_by_day(const std::vector<const Correction*>& applied, const PairedDays& logged,
                                               const PairedDays& corrected, const std::vector<MemberDay>& days) {
    std::vector<DayCorrections> out(days.size());
    for (std::size_t i = 0; i < days.size(); ++i) {
        const auto raw = std::find_if(logged.days.begin(), logged.days.end(),
                                      [&](const MemberDay& d) { return d.day == days[i].day; });
        if (raw != logged.days.end()) {
            out[i] = stamped_ends(*raw);
        }
    }
    for (const Correction* c : applied) {
        const std::int64_t day = day_of(*c, logged, corrected);
        const auto at = std::find_if(days.begin(), days.end(), [&](const MemberDay& d) { return d.day == day; });
        if (at != days.end()) {
            out[static_cast<std::size_t>(at - days.begin())].applied.push_back(c);
        }
    }
    return out;
}
