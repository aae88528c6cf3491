#include "report/StayPairing.h"

#include "report/ReportTime.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace {

class Pairing {
public:
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
            d.stays.push_back(Stay{open_->minute, s.minute});
            take_plan(d, *open_);
            take_plan(d, s);
            open_.reset();
            return;
        }
        close_unpaired();
        MemberDay& d = day(s.minute);
        d.notes.push_back(DayNote{DayNote::Kind::NoShiftIn, s.minute});
        take_plan(d, s);
    }

    std::vector<MemberDay> finish() {
        close_unpaired();
        return std::move(days_);
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
        return *days_.insert(it, std::move(d));
    }

    // A plan is what the board showed on the day of the stamp; the first stamp that carries one sets it.
    static void take_plan(MemberDay& d, const Stamp& s) {
        if (report::business_day_of(s.minute) != d.day) {
            return;
        }
        if (d.planned_start < 0) {
            d.planned_start = s.planned_start;
        }
        if (d.planned_leave < 0) {
            d.planned_leave = s.planned_leave;
        }
    }

    void close_unpaired() {
        if (open_) {
            MemberDay& d = day(open_->minute);
            d.notes.push_back(DayNote{DayNote::Kind::NoShiftOut, open_->minute});
            take_plan(d, *open_);
            open_.reset();
        }
    }

    std::optional<Stamp> open_;
    std::vector<MemberDay> days_; // in order
};

} // namespace

std::vector<MemberDay> pair_stays(std::vector<Stamp>& stamps) {
    std::sort(stamps.begin(), stamps.end(), [](const Stamp& a, const Stamp& b) {
        return a.minute != b.minute ? a.minute < b.minute : a.order < b.order;
    });
    Pairing p;
    for (const Stamp& s : stamps) {
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
