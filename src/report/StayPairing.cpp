#include "report/StayPairing.h"

#include "report/ReportTime.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <tuple>

namespace {

class Pairing {
public:
    // Room for the member's days at once: at most one a stamp, and one a day of the stamps' span.
    explicit Pairing(std::span<const Stamp> stamps) {
        if (stamps.empty()) {
            return;
        }
        const std::int64_t span_days =
            report::business_day_of(stamps.back().minute) - report::business_day_of(stamps.front().minute) + 1;
        days_.reserve(std::min<std::size_t>(stamps.size(), static_cast<std::size_t>(span_days)));
    }

    void shift_in(const Stamp& s) {
        if (open_ && same_day(*open_, s) && s.minute - open_->minute <= longest_stay_minutes) {
            take_plan(day(open_->minute), *open_);
            open_ = s;
            return;
        }
        close_unpaired();
        open_ = s;
    }

    void shift_out(const Stamp& s) {
        if (open_ && s.minute - open_->minute <= longest_stay_minutes) {
            MemberDay& d = day(open_->minute);
            stays_.push_back({d.day, Stay{open_->minute, s.minute}});
            take_plan(d, *open_);
            take_plan(d, s);
            open_.reset();
            return;
        }
        close_unpaired();
        MemberDay& d = day(s.minute);
        notes_.push_back({d.day, DayNote{DayNote::Kind::NoShiftIn, s.minute}});
        take_plan(d, s);
    }

    PairedDays finish() {
        close_unpaired();
        PairedDays p;
        p.days = std::move(days_);
        p.stays = in_day_order(stays_);
        p.notes = in_day_order(notes_);
        p.landed = std::move(landed_);
        show(p.days, stays_, p.stays, &MemberDay::stays);
        show(p.days, notes_, p.notes, &MemberDay::notes);
        return p;
    }

private:
    static bool same_day(const Stamp& a, const Stamp& b) {
        return report::business_day_of(a.minute) == report::business_day_of(b.minute);
    }

    // Stamps come in time order, so a day is nearly always the last one or a new one after it.
    MemberDay& day(std::int64_t minute) {
        const std::int64_t n = report::business_day_of(minute);
        auto it = days_.end();
        while (it != days_.begin() && std::prev(it)->day >= n) {
            --it;
        }
        if (it != days_.end() && it->day == n) {
            return *it;
        }
        MemberDay d;
        d.day = n;
        return *days_.insert(it, d);
    }

    // Every stamp is counted on one day, here. A plan is what the board showed on the day of the stamp; the
    // first stamp that carries one sets both of its times.
    void take_plan(MemberDay& d, const Stamp& s) {
        if (s.fix != StampFix::AsLogged) {
            landed_.push_back(Landing{s.minute, s.shift_in, d.day});
        }
        if (report::business_day_of(s.minute) != d.day) {
            return;
        }
        if (d.planned_start < 0 && d.planned_leave < 0) {
            d.planned_start = s.planned_start;
            d.planned_leave = s.planned_leave;
        }
    }

    void close_unpaired() {
        if (open_) {
            MemberDay& d = day(open_->minute);
            notes_.push_back({d.day, DayNote{DayNote::Kind::NoShiftOut, open_->minute}});
            take_plan(d, *open_);
            open_.reset();
        }
    }

    template <class T> using OfDay = std::vector<std::pair<std::int64_t, T>>;

    // Stays and notes come in the order of the days nearly always; the sort keeps the order within a day.
    template <class T> static std::vector<T> in_day_order(OfDay<T>& items) {
        const auto by_day = [](const auto& a, const auto& b) { return a.first < b.first; };
        if (!std::is_sorted(items.begin(), items.end(), by_day)) {
            std::stable_sort(items.begin(), items.end(), by_day);
        }
        std::vector<T> out;
        out.reserve(items.size());
        for (const auto& i : items) {
            out.push_back(i.second);
        }
        return out;
    }

    // Gives each day the view of its run of items; every item's day is among the days.
    template <class T>
    static void show(std::vector<MemberDay>& days, const OfDay<T>& items, const std::vector<T>& held,
                     std::span<const T> MemberDay::*view) {
        std::size_t i = 0;
        for (MemberDay& d : days) {
            const std::size_t first = i;
            while (i < items.size() && items[i].first == d.day) {
                ++i;
            }
            d.*view = std::span<const T>(held.data() + first, i - first);
        }
    }

    // The stays and notes of the member being paired, with their days; their memory serves the thread's next
    // member.
    template <class T> static OfDay<T>& scratch() {
        thread_local OfDay<T> items;
        items.clear();
        return items;
    }

    std::optional<Stamp> open_;
    std::vector<MemberDay> days_; // in order
    std::vector<Landing> landed_;
    OfDay<Stay>& stays_ = scratch<Stay>();
    OfDay<DayNote>& notes_ = scratch<DayNote>();
};

} // namespace

PairedDays pair_stays(std::span<Stamp> stamps, StampReading reading) {
    const auto by_content = [](const Stamp& a, const Stamp& b) {
        return std::tie(a.minute, a.shift_in, a.planned_start, a.planned_leave) <
               std::tie(b.minute, b.shift_in, b.planned_start, b.planned_leave);
    };
    if (!std::is_sorted(stamps.begin(), stamps.end(), by_content)) {
        std::stable_sort(stamps.begin(), stamps.end(), by_content);
    }
    const StampFix left_out = reading == StampReading::Corrected ? StampFix::Voided : StampFix::Added;
    Pairing p(stamps);
    for (const Stamp& s : stamps) {
        if (s.fix == left_out) {
            continue;
        }
        if (s.shift_in) {
            p.shift_in(s);
        } else {
            p.shift_out(s);
        }
    }
    return p.finish();
}

StampFilter pairing_window(std::int64_t first_day, std::int64_t last_day) {
    StampFilter f;
    f.first_minute = report::business_day_start(first_day) - longest_stay_minutes;
    f.end_minute = report::business_day_start(last_day + 1) + longest_stay_minutes;
    return f;
}
