#include "stamping/CardStamping.h"

#include "app/Recorder.h"
#include "board/Board.h"
#include "board/ElapsedTime.h"
#include "core/ErrorNumber.h"
#include "core/NameFont.h"
#include "core/TimeText.h"
#include "stamping/LogLine.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <string>

namespace {

// A card accepted for a stamp: who it belongs to and what the log records.
struct Stamp {
    std::string cast_code;
    std::string name;
};

const char* const unregistered_question = "カード違い\n\nこのまま 一時的に登録しますか?";

// One call of the reader component: its result, and the IDm text with every NUL removed.
std::int16_t read_card(CardReader& reader, std::string& idm) {
    CardReader::Buffer buffer{};
    const std::int16_t result = reader.get_smart_card_uid(buffer);
    idm.clear();
    for (std::size_t i = 0; i < CardReader::buffer_size; ++i) {
        if (buffer[i] != '\0') {
            idm += buffer[i];
        }
    }
    return result;
}

// The displayed clock reduced to "h:mm"; a clock text that is not a time is a type mismatch.
std::string stamp_time(const FmMain& form) {
    const auto seconds = timetext::parse_time_of_day(form.lbl_Disp_time.text);
    if (!seconds) {
        throw RuntimeError(ErrorNumber::TypeMismatch);
    }
    return timetext::hm(*seconds);
}

// The log line of a stamp. Its planned times are those of the row the stamp is about to go on, read before
// the board changes: the board shows a stamp only once its line is on disk.
std::string stamp_line(const Recorder& rec, const Stamp& stamp, const std::string& idm, const DateTime& now) {
    std::string planned_start;
    std::string planned_leave;
    if (const auto row = rec.board.row_of(stamp.name)) {
        planned_start = rec.board.rows[*row].planned_start;
        planned_leave = rec.board.rows[*row].planned_leave;
    }
    return log_line(rec.form.lbl_MiseID.text, now, stamp.cast_code, stamp.name, rec.inout_mode, planned_start,
                    planned_leave, idm);
}

// The unregistered card: the question, then the keypad. nullopt when nothing was registered.
std::optional<Stamp> register_card(Recorder& rec, const std::string& idm) {
    play_chord(rec.services.sounds);
    rec.uf_2.UF2L.text = unregistered_question;
    rec.uf_2.uf2_ans = 0;
    rec.ui.show_modal(rec.uf_2);
    if (rec.uf_2.uf2_ans != YesNoDialog::yes) {
        return std::nullopt;
    }
    rec.uf_10key.open_for(idm);
    rec.ui.show_modal(rec.uf_10key);
    if (rec.uf_10key.tenkey_code == 0) {
        return std::nullopt;
    }
    return Stamp{std::to_string(rec.uf_10key.tenkey_code), rec.uf_10key.tenkey_str};
}

void show_read(FmMain& form, const std::string& name) {
    form.lbl_Read_Status.text = "◎";
    form.lbl_Read_Name.text = name;
    form.lbl_Read_Name.pt = name_fonts::read_name.pt_for(name);
}

void write_log_line(Recorder& rec, const std::string& line) {
    if (const Status st = rec.log.append_line(line); !st) {
        throw RuntimeError(st.error());
    }
}

// The card's member, or the one registered for it now; nullopt when nothing was registered.
std::optional<Stamp> identify(Recorder& rec, const std::string& idm) {
    if (const auto index = rec.members.find_idm(idm)) {
        const auto& slot = rec.members.slot(*index);
        return Stamp{slot.code.value_or(std::string{}), slot.name};
    }
    return register_card(rec, idm);
}

// Steps of a card read. The stamp time is the clock shown when the poll began. The line is written and synced
// before the board, the name and the chime tell the member the stamp was taken: a write that fails ends the
// program with no chime.
void process_card(Recorder& rec, const std::string& idm, const std::string& time_hm) {
    FmMain& form = rec.form;
    form.Timer1 = false;
    const std::optional<Stamp> stamp = identify(rec, idm);
    if (!stamp) {
        form.Timer1 = true;
        return;
    }
    // A dialog may have been open for a while: the read happens when it was answered.
    const DateTime now = rec.clock.now();
    const std::string mode = std::to_string(rec.inout_mode);
    const bool repeat =
        form.lbl_last_io.text == mode && form.lbl_last_Idm.text == idm && rec.stamp_memory.within_repeat_window(now);
    if (!repeat) {
        write_log_line(rec, stamp_line(rec, *stamp, idm, now));
    }
    set_status(rec.board, form, stamp->name, rec.inout_mode, time_hm);
    play_chimes(rec.services.sounds);
    show_read(form, stamp->name);
    form.lbl_last_time.text = timetext::hms(now);
    form.lbl_last_Idm.text = idm;
    form.lbl_last_io.text = mode;
    rec.stamp_memory.remember_read(now);
    form.Timer1 = true;
}

// Closes and reopens the log (its lines reach the disk at fixed times) and returns to shift-in mode.
void reopen_log(Recorder& rec) {
    rec.log.close();
    rec.open_log();
}

void daily_reset(Recorder& rec) {
    rec.form.Timer1 = false;
    clear_board(rec.board, rec.form);
    clear_work_time(rec.board, rec.form);
    reopen_log(rec);
    set_mode_in(rec.form, rec.inout_mode);
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void clock_jobs(Recorder& rec, const DateTime& now) {
    FmMain& form = rec.form;
    form.lbl_Read_Status.text.clear();
    form.lbl_Read_Name.text.clear();
    const std::string time_of_day = timetext::hms(now);
    for (std::size_t i = 0; i < 2; ++i) {
        if (trimmed(rec.tensou_time[i]) == time_of_day) {
            form.Timer1 = false;
            reopen_log(rec);
            set_mode_in(form, rec.inout_mode);
        }
    }
    const std::string minute = std::to_string(now.minute);
    if (form.lbl_min_stat.text != minute) {
        form.Timer1 = false;
        update_elapsed(rec.board, form, now.seconds_of_day());
        form.lbl_min_stat.text = minute;
        form.Timer1 = true;
    }
}

void poll(Recorder& rec) {
    std::string idm;
    const std::int16_t result = read_card(rec.services.reader, idm);
    const std::string time_hm = result == 0 ? stamp_time(rec.form) : std::string{};
    const DateTime now = rec.clock.now();
    if (rec.stamp_memory.reset_due(now)) {
        daily_reset(rec);
    }
    if (result == 0) {
        process_card(rec, idm, time_hm);
    } else {
        clock_jobs(rec, now);
    }
    rec.ui.process_events();
}

std::string failure_message(const RuntimeError& e) {
    switch (e.number()) {
    case ErrorNumber::BadFileNameOrNumber:
        return "LOGファイルに書き込みできません";
    case ErrorNumber::FileNotFound:
        return "'C:\\Zerbanto\\QuillSmartCard.dll がありません";
    case ErrorNumber::PermissionDenied:
        return "get_card_idm 書き込みできません";
    default:
        return "get_card_idm 想定外エラー =" + std::to_string(number_of(e.number()));
    }
}

// Any other failure is reported as the run-time system's internal error.
constexpr int internal_error = 51;

[[noreturn]] void fail(Recorder& rec, const std::string& message) {
    rec.form.Timer1 = false;
    rec.ui.message(MessageIcon::Critical, MessageButtons::Ok, message);
    rec.end_program();
}

} // namespace

void get_card_idm(Recorder& rec) {
    try {
        poll(rec);
    } catch (const RuntimeError& e) {
        fail(rec, failure_message(e));
    } catch (const std::exception&) {
        fail(rec, "get_card_idm 想定外エラー =" + std::to_string(internal_error));
    }
}

void play_chimes(Sounds& sounds) {
    sounds.play("chimes");
}

void play_chord(Sounds& sounds) {
    sounds.play("chord");
}
