#include "support/ReferenceRecorder.h"

#include <algorithm>

namespace reference {

using namespace std::chrono;

void Recorder::start(Moment t) {
    const auto plan = store_.plan.find(yymmdd(t)); // the calendar day, not the business day
    board_.restore(plan == store_.plan.end() ? std::vector<PlanRow>{} : plan->second, stamps_, t);
    registered_.clear(); // the member list is loaded again
    last_.reset();
    mode_ = 1;
    board_day_ = business_day(t);
    refreshed_minute_.reset(); // the first poll without a card refreshes
    now_ = t;
}

void Recorder::advance(Moment t) {
    for (Moment s = now_ + seconds{1}; s <= t; s += seconds{1}) {
        poll_without_card(s);
    }
    now_ = std::max(now_, t);
}

// At or after 5:00 of a later business day than the board's, whether a card lies on the reader or not.
void Recorder::reset_if_due(Moment t) {
    if (business_day(t) > board_day_) {
        board_.clear();
        mode_ = 1;
        board_day_ = business_day(t);
    }
}

void Recorder::poll_without_card(Moment t) {
    reset_if_due(t);
    for (const int s : store_.transfer_seconds) {
        if (second_of_day(t) == s) {
            mode_ = 1;
        }
    }
    if (refreshed_minute_ != floor<minutes>(t)) {
        board_.refresh(second_of_day(t) / 60);
        refreshed_minute_ = floor<minutes>(t);
    }
}

const Member* Recorder::find(const std::string& idm) const {
    for (const Member& m : store_.members) {
        if (m.idm == idm) {
            return &m;
        }
    }
    for (const Member& m : registered_) {
        if (m.idm == idm) {
            return &m;
        }
    }
    return nullptr;
}

// The keypad's registration: the name the code has in the table (the last such entry), else "<code>".
const Member& Recorder::register_card(const std::string& idm, int code) {
    const std::string code_text = std::to_string(code);
    std::string name = "<" + code_text + ">";
    for (const auto* list : {&store_.members, &registered_}) {
        for (const Member& m : *list) {
            if (m.code == code_text) {
                name = m.name;
            }
        }
    }
    registered_.push_back({code_text, name, idm});
    return registered_.back();
}

std::optional<std::string> Recorder::read(const std::string& idm, Moment t, int code) {
    advance(t - seconds{1});
    reset_if_due(t);
    now_ = t;
    const Member* member = find(idm);
    if (member == nullptr) {
        if (code == 0) {
            return std::nullopt;
        }
        member = &register_card(idm, code);
    }
    const std::string time_hm = hm(second_of_day(t) / 60);
    const std::optional<int> row = board_.set_status(member->name, mode_, time_hm);
    const bool repeat = last_ && last_->idm == idm && last_->mode == mode_ && abs(t - last_->when) < seconds{60};
    last_ = Read{idm, mode_, t};
    if (repeat) {
        return std::nullopt;
    }
    std::string line =
        store_.code + "," + log_stamp(t) + "," + member->code + "," + member->name + "," + std::to_string(mode_) + ",";
    if (row) {
        line += board_.row(*row).st + "," + board_.row(*row).kt;
    } else {
        line += ",";
    }
    line += "," + idm;
    lines_.push_back(line);
    stamps_.push_back({floor<minutes>(t), member->name, mode_});
    return line;
}

} // namespace reference
