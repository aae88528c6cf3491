#pragma once

#include "report/Corrections.h"
#include "report/StampCollector.h"
#include "report/StayPairing.h"

#include <cstdint>
#include <optional>
#include <vector>

// Applies the journal to the stamps read, within what the report covers (the filter's window, store and member;
// a line outside it is left alone): an added stamp joins the member's stamps (a member the logs do not name is
// added), a voided one stays, marked, and is left out of the figures. Each applied correction is noted on its
// member; a 取消 that matches no stamp of the logs is a trouble of the journal. The journal must outlive the
// stamps. Returns the number applied.
std::size_t apply_corrections(Journal& journal, CollectedStamps& collected, const StampFilter& filter);

// What the corrections changed on one business day of a member.
struct DayCorrections {
    std::optional<std::int64_t> logged_in; // the first shift-in and the last shift-out the logs alone give
    std::optional<std::int64_t> logged_out;
    std::vector<const Correction*> applied; // those that belong to the day
};

// The first shift-in and the last shift-out stamped on the day, paired or not.
[[nodiscard]] DayCorrections stamped_ends(const MemberDay& day);

// A correction belongs to the business day its stamp is counted on: an added one after the corrections, a voided
// one before them. A day to which one belongs but that kept no stamp is added to corrected.
void add_corrected_days(const std::vector<const Correction*>& applied, const PairedDays& logged, PairedDays& corrected);

// For each of days (corrected, in order): its figures from the logs alone and the corrections that belong to it.
[[nodiscard]] std::vector<DayCorrections> corrections_by_day(const std::vector<const Correction*>& applied,
                                                             const PairedDays& logged, const PairedDays& corrected,
                                                             const std::vector<MemberDay>& days);
