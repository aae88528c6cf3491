#pragma once

#include "report/AppliedCorrections.h"
#include "report/DayFigures.h"
#include "report/LabourLaw.h"
#include "report/StampCollector.h"
#include "report/StayPairing.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

// One member's business days in the range, their figures and the member's month total.
struct MemberSheet {
    MemberSheet() = default;
    MemberSheet(MemberSheet&&) = default;
    MemberSheet& operator=(MemberSheet&&) = default;
    MemberSheet(const MemberSheet&) = delete; // the days view stays and notes held here
    MemberSheet& operator=(const MemberSheet&) = delete;
    ~MemberSheet() = default;

    std::string store;
    std::string code;
    std::string name;                // the first name on the reported days' stamps
    std::vector<std::string> notes;  // about the member: two names, a card registered on the keypad, not listed
    std::vector<MemberDay> days;     // the business days in the range
    std::vector<DayFigures> figures; // one for each of the days
    Totals totals;
    MemberLaw law;           // the days' and months' figures under the labour law
    std::vector<Stay> stays; // what the days show
    std::vector<DayNote> day_notes;
    std::vector<DayCorrections> corrections; // one for each of the days when a journal changed the member's stamps
};

struct StoreSheet {
    std::string store;
    std::vector<MemberSheet> members; // by code
    Totals totals;
    std::size_t anomalies = 0;
};

// Everything a report shows.
struct Timesheet {
    std::vector<StoreSheet> stores; // by store code
    std::size_t members = 0;
    std::size_t anomalies = 0;
};

// Pairs every member's stamps and keeps the business days from first_day to last_day. listed_codes, when
// given, holds the codes of the member list. The stamps are used up. The members are paired on up to
// `threads` threads. Weeks begin on week_start (0 Sunday); stamps from the week before first_day count towards
// the first week's hours.
[[nodiscard]] Timesheet build_timesheet(CollectedStamps& collected, std::int64_t first_day, std::int64_t last_day,
                                        const std::optional<std::set<std::string>>& listed_codes, unsigned threads = 1,
                                        int week_start = 0);

// The same, store by store in the order of the store codes: each store's sheet is handed to `each` before the
// next stores are paired, so that memory holds the business days of a few stores at a time.
void for_each_store_sheet(CollectedStamps& collected, std::int64_t first_day, std::int64_t last_day,
                          const std::optional<std::set<std::string>>& listed_codes, unsigned threads, int week_start,
                          const std::function<void(StoreSheet&)>& each);

// Texts one after the other, as the reports show several notes in one place.
[[nodiscard]] std::string joined_notes(const std::vector<std::string>& texts);

// The texts of the notes, as the reports show them.
[[nodiscard]] std::string note_text(const DayNote& note);
[[nodiscard]] std::vector<std::string> day_note_texts(const MemberDay& day);
// The member's i-th day's anomalies, then its legal notes.
[[nodiscard]] std::vector<std::string> day_notes(const MemberSheet& m, std::size_t i);
