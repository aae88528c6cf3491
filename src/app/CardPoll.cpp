#include "app/CardPoll.h"

#include "app/ErrorMessages.h"
#include "app/RecorderState.h"
#include "board/Board.h"
#include "board/ElapsedTime.h"
#include "core/TimeText.h"
#include "core/Trim.h"
#include "stamping/CardStamping.h"
#include "stamping/LogLine.h"
#include "stamping/StampMode.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <string>

namespace {

// A card accepted for a stamp: who it belongs to and what the log records.
struct Stamp {
    std::string cast_code;
    std::string name;
};

// The log line of a stamp. Its planned times are those of the row the stamp is about to go on, read before
// the board changes: the board shows a stamp only once its line is on disk.
std::string stamp_line(const RecorderState& s, const Stamp& stamp, const std::string& idm, const DateTime& now) {
    std::string planned_start;
    std::string planned_leave;
    if (const auto row = s.board.row_of(stamp.name)) {
        planned_start = s.board.rows[*row].planned_start;
        planned_leave = s.board.rows[*row].planned_leave;
    }
    return log_line(s.store.store_code, now, stamp.cast_code, stamp.name, mode_number(s.mode), planned_start,
                    planned_leave, idm);
}

// The unregistered card: the question, then the keypad. nullopt when nothing was registered.
std::optional<Stamp> register_card(RecorderState& s, const std::string& idm) {
    play_chord(s.services.sounds);
    s.uf_2.UF2L.text = unregistered_question;
    s.uf_2.uf2_ans = 0;
    s.ui.show_modal(s.uf_2);
    if (s.uf_2.uf2_ans != YesNoDialog::yes) {
        return std::nullopt;
    }
    s.uf_10key.open_for(idm);
    s.ui.show_modal(s.uf_10key);
    if (s.uf_10key.tenkey_code == 0) {
        return std::nullopt;
    }
    return Stamp{std::to_string(s.uf_10key.tenkey_code), s.uf_10key.tenkey_str};
}

// The card's member, or the one registered for it now; nullopt when nothing was registered.
std::optional<Stamp> identify(RecorderState& s, const std::string& idm) {
    if (const auto index = s.members.find_idm(idm)) {
        const auto& slot = s.members.slot(*index);
        return Stamp{slot.code.value_or(std::string{}), slot.name};
    }
    return register_card(s, idm);
}

void show_read(RecorderState& s, const std::string& name, const DateTime& now) {
    s.read_shown = ShownRead{name, now};
    s.name_font = name;
}

// Steps of a card read. The stamp time is the clock shown when the poll began. The line is written and synced
// before the board, the name and the chime tell the member the stamp was taken: a write that fails ends the
// program with no chime. No tick polls while a dialog is open: the recorder runs one event at a time.
Status process_card(RecorderState& s, const std::string& idm, const std::string& time_hm) {
    const bool asked = !s.members.find_idm(idm);
    const std::optional<Stamp> stamp = identify(s, idm);
    if (asked) {
        s.services.reader.forget_arrivals(); // the touches made while the question or the keypad was open
    }
    if (!stamp) {
        return Done{};
    }
    // A dialog may have been open for a while: the read happens when it was answered.
    const DateTime now = s.clock.now();
    const int mode = mode_number(s.mode);
    if (!s.stamp_memory.is_repeat(now, mode, idm)) {
        if (Status st = s.log.append_line(stamp_line(s, *stamp, idm, now)); !st) {
            return st;
        }
    }
    put_stamp_on_board(s.board, stamp->name, mode, time_hm);
    play_chimes(s.services.sounds);
    show_read(s, stamp->name, now);
    s.stamp_memory.remember_read(now, mode, idm);
    return Done{};
}

// Closes and reopens the log (its lines reach the disk at fixed times) and returns to shift-in mode.
Status reopen_log_in_mode_in(RecorderState& s) {
    s.log.close();
    if (Status st = open_log(s); !st) {
        return st;
    }
    choose_mode(s, StampMode::ShiftIn);
    return Done{};
}

Status daily_reset(RecorderState& s) {
    clear_board_and_clock(s);
    return reopen_log_in_mode_in(s);
}

// The read's mark and name go a second after they were shown, at the earliest.
void clear_read_after_a_second(RecorderState& s, const DateTime& now) {
    constexpr std::int64_t shown_millis = 1000;
    if (s.read_shown && now.to_millis() - s.read_shown->at.to_millis() < shown_millis) {
        return;
    }
    s.read_shown.reset();
}

Status clock_jobs(RecorderState& s, const DateTime& now) {
    clear_read_after_a_second(s, now);
    const std::string time_of_day = timetext::hms(now);
    for (const std::string& transfer_time : s.store.transfer_times) {
        if (trim_spaces(transfer_time) == time_of_day) {
            if (Status st = reopen_log_in_mode_in(s); !st) {
                return st;
            }
        }
    }
    if (s.refreshed_minute != now.minute) {
        update_elapsed(s.board, now.seconds_of_day());
        s.refreshed_minute = now.minute;
    }
    return Done{};
}

// The stamp's time "h:mm": the second the clock shows. A clock that shows none ("停止中") gives no time.
Result<std::string> stamp_time(const ShownClock& clock) {
    if (!clock.second) {
        return ErrorNumber::TypeMismatch;
    }
    return timetext::hm(clock.second->seconds_of_day());
}

// The reader's own failure (a component that cannot be loaded) arrives as its exception. Between two seconds
// only a card is taken; the clock jobs belong to the change of the second.
Status poll(RecorderState& s, bool second_changed) {
    std::string idm;
    const std::int16_t result = read_card(s.services.reader, idm);
    if (result != 0 && !second_changed) {
        return Done{};
    }
    std::string time_hm;
    if (result == 0) {
        auto t = stamp_time(s.clock_shown);
        if (!t) {
            return t.error();
        }
        time_hm = *t;
    }
    const DateTime now = s.clock.now();
    if (s.stamp_memory.reset_due(now)) {
        if (Status st = daily_reset(s); !st) {
            return st;
        }
    }
    const Status done = result == 0 ? process_card(s, idm, time_hm) : clock_jobs(s, now);
    if (!done) {
        return done;
    }
    s.ui.process_events();
    return Done{};
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

[[noreturn]] void fail(RecorderState& s, const std::string& message) {
    s.failed = true;
    end_with_message(s, MessageIcon::Critical, message);
}

void run_poll(RecorderState& s, bool second_changed) {
    Status done = Done{};
    try {
        done = poll(s, second_changed);
    } catch (const RuntimeError& e) {
        done = e.number();
    } catch (const std::exception&) {
        fail(s, error_messages::unexpected_in_card_poll(error_messages::internal_error));
    }
    if (!done) {
        fail(s, failure_message(done.error()));
    }
}

} // namespace

void poll_card_and_run_clock_jobs(RecorderState& s) {
    run_poll(s, true);
}

void take_waiting_card(RecorderState& s) {
    run_poll(s, false);
}
