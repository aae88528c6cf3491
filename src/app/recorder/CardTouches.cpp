#include "app/recorder/CardTouches.h"

#include "app/recorder/ErrorMessages.h"
#include "app/recorder/ProgramEnd.h"
#include "board/Board.h"
#include "board/DayRestore.h"
#include "board/ElapsedTime.h"
#include "core/TimeText.h"
#include "stamping/CardStamping.h"
#include "stamping/LogLine.h"
#include "stamping/StampMode.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <string>

// A card accepted for a stamp: who it belongs to and what the log records.
struct CardTouches::Stamp {
    std::string cast_code;
    std::string name;
};

namespace {

// The stamp's time "h:mm": the second the clock shows. A clock that shows none ("停止中") gives no time.
Result<std::string> stamp_time(const ShownClock& clock) {
    if (!clock.second) {
        return ErrorNumber::TypeMismatch;
    }
    return timetext::hm(clock.second->seconds_of_day());
}

std::string failure_message(ErrorNumber n) {
    switch (n) {
    case ErrorNumber::BadFileNameOrNumber:
        return "LOGファイルに書き込みできません";
    case ErrorNumber::FileNotFound:
        return "'C:\\Zerbanto\\QuillSmartCard.dll がありません";
    case ErrorNumber::PermissionDenied:
        return "get_card_idm 書き込みできません";
    default:
        return error_messages::unexpected_in_card_poll(number_of(n));
    }
}

} // namespace

CardTouches::CardTouches(CardServices services, const Paths& paths, const StoreSettings& store, MemberTable& members,
                         Panel& panel)
    : services_(services), paths_(paths), store_(store), members_(members), panel_(panel) {}

std::filesystem::path CardTouches::log_path() const {
    return paths_.attendance_log(store_.store_code);
}

Status CardTouches::open_log() {
    log_.close();
    return log_.open_append(log_path());
}

void CardTouches::clear_day() {
    board_.clear();
    read_shown_.reset();
    panel_.clear_clock();
}

Status CardTouches::restore_day() {
    log_.close();
    const DateTime now = services_.clock.now();
    replay_log(board_, log_path(), business_day_start(now));
    update_elapsed(board_, now.seconds_of_day());
    return open_log();
}

// The log line of a stamp. Its planned times are those of the row the stamp is about to go on, read before
// the board changes: the board shows a stamp only once its line is on disk.
std::string CardTouches::stamp_line(const Stamp& stamp, const std::string& idm, const DateTime& now) const {
    std::string planned_start;
    std::string planned_leave;
    if (const auto row = board_.row_of(stamp.name)) {
        planned_start = board_.rows[*row].planned_start;
        planned_leave = board_.rows[*row].planned_leave;
    }
    return log_line(store_.store_code, now, stamp.cast_code, stamp.name, mode_number(panel_.mode()), planned_start,
                    planned_leave, idm);
}

// The unregistered card: the question, then the keypad. nullopt when nothing was registered.
std::optional<CardTouches::Stamp> CardTouches::register_card(const std::string& idm) {
    play_chord(services_.sounds);
    uf_2_.UF2L.text = unregistered_question;
    uf_2_.uf2_ans = 0;
    services_.ui.show_modal(uf_2_);
    if (uf_2_.uf2_ans != YesNoDialog::yes) {
        return std::nullopt;
    }
    uf_10key_.open_for(idm);
    services_.ui.show_modal(uf_10key_);
    if (uf_10key_.tenkey_code == 0) {
        return std::nullopt;
    }
    return Stamp{std::to_string(uf_10key_.tenkey_code), uf_10key_.tenkey_str};
}

// The card's member, or the one registered for it now; nullopt when nothing was registered.
std::optional<CardTouches::Stamp> CardTouches::identify(const std::string& idm) {
    if (const auto index = members_.find_idm(idm)) {
        const auto& slot = members_.slot(*index);
        return Stamp{slot.code.value_or(std::string{}), slot.name};
    }
    return register_card(idm);
}

void CardTouches::show_read(const std::string& name, const DateTime& now) {
    read_shown_ = ShownRead{name, now};
    name_font_ = name;
}

// Steps of a card read. The stamp time is the clock shown when the poll began. The line is written and synced
// before the board, the name and the chime tell the member the stamp was taken: a write that fails ends the
// program with no chime. No tick polls while a dialog is open: the recorder runs one event at a time.
Status CardTouches::process_card(const std::string& idm, const std::string& time_hm) {
    const bool asked = !members_.find_idm(idm);
    const std::optional<Stamp> stamp = identify(idm);
    if (asked) {
        services_.reader.forget_arrivals(); // the touches made while the question or the keypad was open
    }
    if (!stamp) {
        return Done{};
    }
    // A dialog may have been open for a while: the read happens when it was answered.
    const DateTime now = services_.clock.now();
    const int mode = mode_number(panel_.mode());
    if (!memory_.is_repeat(now, mode, idm)) {
        if (Status st = log_.append_line(stamp_line(*stamp, idm, now)); !st) {
            return st;
        }
    }
    put_stamp_on_board(board_, stamp->name, mode, time_hm);
    play_chimes(services_.sounds);
    show_read(stamp->name, now);
    memory_.remember_read(now, mode, idm);
    return Done{};
}

// Closes and reopens the log (its lines reach the disk at fixed times) and returns to shift-in mode.
Status CardTouches::reopen_log_in_mode_in() {
    if (Status st = open_log(); !st) {
        return st;
    }
    panel_.choose_mode(StampMode::ShiftIn);
    return Done{};
}

Status CardTouches::daily_reset() {
    clear_day();
    return reopen_log_in_mode_in();
}

// The read's mark and name go a second after they were shown, at the earliest.
void CardTouches::clear_read_after_a_second(const DateTime& now) {
    constexpr std::int64_t shown_millis = 1000;
    if (read_shown_ && now.to_millis() - read_shown_->at.to_millis() < shown_millis) {
        return;
    }
    read_shown_.reset();
}

Status CardTouches::clock_jobs(const DateTime& now) {
    clear_read_after_a_second(now);
    const std::string time_of_day = timetext::hms(now);
    for (const std::string& transfer_time : store_.transfer_times) {
        if (transfer_time == time_of_day) {
            if (Status st = reopen_log_in_mode_in(); !st) {
                return st;
            }
        }
    }
    if (refreshed_minute_ != now.minute) {
        update_elapsed(board_, now.seconds_of_day());
        refreshed_minute_ = now.minute;
    }
    return Done{};
}

// The reader's own failure (a component that cannot be loaded) arrives as its exception. Between two seconds
// only a card is taken; the clock jobs belong to the change of the second.
Status CardTouches::poll(bool second_changed) {
    std::string idm;
    const std::int16_t result = read_card(services_.reader, idm);
    if (result != 0 && !second_changed) {
        return Done{};
    }
    std::string time_hm;
    if (result == 0) {
        auto t = stamp_time(panel_.clock());
        if (!t) {
            return t.error();
        }
        time_hm = *t;
    }
    const DateTime now = services_.clock.now();
    if (memory_.reset_due(now)) {
        if (Status st = daily_reset(); !st) {
            return st;
        }
    }
    const Status done = result == 0 ? process_card(idm, time_hm) : clock_jobs(now);
    if (!done) {
        return done;
    }
    services_.ui.process_events();
    return Done{};
}

void CardTouches::run_poll(bool second_changed) {
    Status done = Done{};
    try {
        done = poll(second_changed);
    } catch (const RuntimeError& e) {
        done = e.number();
    } catch (const std::exception&) {
        end_with_message(services_.ui, MessageIcon::Critical,
                         error_messages::unexpected_in_card_poll(error_messages::internal_error), true);
    }
    if (!done) {
        end_with_message(services_.ui, MessageIcon::Critical, failure_message(done.error()), true);
    }
}

void CardTouches::poll_card_and_run_clock_jobs() {
    run_poll(true);
}

void CardTouches::take_waiting_card() {
    run_poll(false);
}
