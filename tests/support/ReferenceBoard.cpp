#include "support/ReferenceBoard.h"

#include <cstdio>
#include <sstream>

namespace reference {

namespace {

using namespace std::chrono;

constexpr int minutes_per_day = 24 * 60;

std::string format(const char* pattern, int a, int b, int c, int d = 0, int e = 0, int f = 0) {
    std::array<char, 48> buf{};
    std::snprintf(buf.data(), buf.size(), pattern, a, b, c, d, e, f);
    return buf.data();
}

struct Parts {
    int year, month, day, hour, minute, second;
};

Parts parts(Moment t) {
    const auto day = floor<days>(t);
    const year_month_day ymd{day};
    const int s = static_cast<int>((t - day).count());
    return {static_cast<int>(ymd.year()),
            static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day())),
            s / 3600,
            s / 60 % 60,
            s % 60};
}

// "h:mm" back to minutes; only texts this model wrote are read.
int minutes_of(const std::string& text) {
    const auto colon = text.find(':');
    return std::stoi(text.substr(0, colon)) * 60 + std::stoi(text.substr(colon + 1));
}

std::size_t characters(const std::string& utf8) {
    std::size_t n = 0;
    for (const char c : utf8) {
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return n;
}

std::string stay_colour(const std::string& et) {
    if (et.empty()) {
        return Board::neutral;
    }
    const int hours = minutes_of(et) / 60;
    return hours > 5 ? "#FF8080" : hours > 3 ? "#FFFF00" : Board::neutral;
}

} // namespace

Moment moment(int year, int month, int day, int hour, int minute, int second) {
    const sys_days d{std::chrono::year{year} / month / day};
    return d + hours{hour} + minutes{minute} + seconds{second};
}

int second_of_day(Moment t) {
    return static_cast<int>((t - floor<days>(t)).count());
}

std::string sim_clock(Moment t) {
    const Parts p = parts(t);
    return format("%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour, p.minute, p.second);
}

std::string log_stamp(Moment t) {
    const Parts p = parts(t);
    return format("%d/%d/%d %d:%02d", p.year, p.month, p.day, p.hour, p.minute);
}

std::string yymmdd(Moment t) {
    const Parts p = parts(t);
    return format("%02d%02d%02d", p.year % 100, p.month, p.day);
}

std::string hm(int minutes) {
    const int m = (minutes % minutes_per_day + minutes_per_day) % minutes_per_day;
    return format("%d:%02d", m / 60, m % 60, 0);
}

Moment business_day(Moment t) {
    const Moment five = floor<days>(t) + hours{5};
    return t < five ? five - days{1} : five;
}

void Board::clear() {
    for (Row& r : rows_) {
        const double pt = r.cast_pt; // the name's font size is left as it was
        r = Row{};
        r.cast_back = neutral;
        r.et_back = neutral;
        r.cast_pt = pt;
    }
}

void Board::plan(const std::vector<PlanRow>& plan) {
    for (std::size_t i = 0; i < plan.size() && i < rows_.size(); ++i) {
        Row& r = rows_[i];
        r.st = plan[i].start;
        r.kt = plan[i].leave;
        r.cast = plan[i].name;
        r.cast_pt = characters(r.cast) > 6 ? 18 : 20;
    }
}

std::optional<int> Board::set_status(const std::string& name, int mode, const std::string& time_hm) {
    for (int i = 0; i < rows; ++i) {
        Row& r = rows_[static_cast<std::size_t>(i)];
        if (r.cast.empty()) {
            r.cast = name;
            r.cast_pt = characters(name) > 6 ? 18 : 20;
            r.cast_back = mode == 1 ? on_shift : first_seen_out;
            r.it = mode == 1 ? time_hm : "";
            r.et = mode == 1 ? "0:00" : "";
            return i;
        }
        if (r.cast != name) {
            continue;
        }
        if (mode == 1) {
            if (r.cast_back != on_shift) {
                r.et = "0:00";
            }
            r.cast_back = on_shift;
            r.it = time_hm;
        } else {
            r.cast_back = shifted_out;
            r.it.clear();
            if (!r.et.empty()) {
                r.tt = r.tt.empty() ? r.et : hm(minutes_of(r.tt) + minutes_of(r.et));
            }
            r.et.clear();
            r.et_back = neutral;
        }
        return i;
    }
    return std::nullopt;
}

void Board::refresh(int now_minutes) {
    for (Row& r : rows_) {
        if (r.et.empty()) {
            continue;
        }
        if (r.it.empty()) {
            r.et.clear();
            continue;
        }
        const int in = minutes_of(r.it);
        r.et = hm(in <= now_minutes ? now_minutes - in : now_minutes - in + minutes_per_day);
        r.rt = r.tt.empty() ? r.et : hm(minutes_of(r.tt) + minutes_of(r.et));
    }
    for (Row& r : rows_) {
        r.et_back = stay_colour(r.et);
    }
}

void Board::restore(const std::vector<PlanRow>& plan_rows, const std::vector<LoggedStamp>& log, Moment now) {
    clear();
    plan(plan_rows);
    const Moment day = business_day(now);
    for (const LoggedStamp& s : log) {
        if (s.when >= day) {
            (void)set_status(s.name, s.mode, hm(second_of_day(s.when) / 60));
        }
    }
    refresh(second_of_day(now) / 60);
}

std::string Board::differences(const nlohmann::json& state) const {
    std::ostringstream out;
    const auto check = [&](int i, const char* what, const nlohmann::json& got, const nlohmann::json& want) {
        if (got != want) {
            out << "row " << i << " " << what << ": board " << got << ", expected " << want << "\n";
        }
    };
    for (int i = 0; i < rows; ++i) {
        const nlohmann::json& b = state.at("board").at(static_cast<std::size_t>(i));
        const Row& r = row(i);
        check(i, "ST", b["ST"]["text"], r.st);
        check(i, "Cast", b["Cast"]["text"], r.cast);
        check(i, "Cast back", b["Cast"]["back"], r.cast_back);
        check(i, "ET", b["ET"]["text"], r.et);
        check(i, "ET back", b["ET"]["back"], r.et_back);
        check(i, "RT", b["RT"]["text"], r.rt);
        check(i, "TT", b["TT"]["text"], r.tt);
        check(i, "iT", b["iT"]["text"], r.it);
        check(i, "KT", b["KT"]["text"], r.kt);
        if (!r.cast.empty()) {
            check(i, "Cast pt", b["Cast"]["pt"], r.cast_pt);
        }
    }
    return out.str();
}

} // namespace reference
