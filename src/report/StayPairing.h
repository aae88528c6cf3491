#pragma once

#include "report/StampCollector.h"

#include <cstdint>
#include <span>
#include <vector>

// A shift-in paired with the member's next shift-out.
struct Stay {
    std::int64_t in = 0;
    std::int64_t out = 0;
};

// A stamp that could not be paired, on the business day of the stamp.
struct DayNote {
    enum class Kind { NoShiftOut, NoShiftIn };
    Kind kind = Kind::NoShiftOut;
    std::int64_t minute = 0;
};

// What one member did on one business day. The stays and notes are held by the member's PairedDays.
struct MemberDay {
    std::int64_t day = 0;
    std::span<const Stay> stays; // in order
    std::span<const DayNote> notes;
    // Minutes of the day, both from the day's first stamp with a plan: a pair the board showed together.
    int planned_start = -1;
    int planned_leave = -1;
};

// The business day on which a stamp that a corrections journal touched was counted.
struct Landing {
    std::int64_t minute = 0;
    bool shift_in = true;
    std::int64_t day = 0;
};

// One member's business days, in order, and the stays and notes they show. Moving keeps the days' views valid;
// a copy would not, so there is none.
struct PairedDays {
    PairedDays() = default;
    PairedDays(PairedDays&&) = default;
    PairedDays& operator=(PairedDays&&) = default;
    PairedDays(const PairedDays&) = delete;
    PairedDays& operator=(const PairedDays&) = delete;
    ~PairedDays() = default;

    std::vector<MemberDay> days;
    std::vector<Stay> stays;
    std::vector<DayNote> notes;
    std::vector<Landing> landed; // of the stamps added or voided by a journal
};

// Which stamps are paired: those after the corrections (added ones, not voided ones), or those of the logs.
enum class StampReading { Corrected, AsLogged };

// The longest stay: a shift-out later than this after the shift-in does not end it.
inline constexpr std::int64_t longest_stay_minutes = std::int64_t{16} * 60;

// Pairs one member's stamps into stays, each on the business day of its shift-in, also when it runs past
// midnight or past 5:00. A second shift-in on the same business day before a shift-out moves the start, as
// on the board. The stamps are one member's in input order; they are sorted here by their content alone, so
// that where files stand does not change the sheet: by time, within a minute shift-outs first (the log has no
// seconds; a stay that ends and one that begins in the same minute is the likelier reading), then by the plan.
[[nodiscard]] PairedDays pair_stays(std::span<Stamp> stamps, StampReading reading = StampReading::Corrected);

// The stamps that pair the stays of the business days first_day to last_day: from a longest stay before the
// first day's start (a shift-out early on the first day ends a stay begun before it) to a longest stay after
// the last day's end.
[[nodiscard]] StampFilter pairing_window(std::int64_t first_day, std::int64_t last_day);
