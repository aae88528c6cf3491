#include "sim/Simulator.h"

#include "app/demo/DemoRoot.h"
#include "app/start/DataFolder.h"
#include "sim/ScriptLine.h"
#include "sim/StateJson.h"

#include <cstdio>

namespace {

class EventSounds final : public Sounds {
public:
    explicit EventSounds(EventWriter& events) : events_(events) {}
    void play(std::string_view name) override { events_.write({{"event", "sound"}, {"name", std::string(name)}}); }

private:
    EventWriter& events_;
};

std::optional<DateTime> parse_clock(const std::string& date, const std::string& time) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    char tail = 0;
    if (std::sscanf(date.c_str(), "%4d-%2d-%2d%c", &y, &mo, &d, &tail) != 3 ||
        std::sscanf(time.c_str(), "%2d:%2d:%2d%c", &h, &mi, &s, &tail) != 3) {
        return std::nullopt;
    }
    return DateTime::make(y, mo, d, h, mi, s);
}

} // namespace

Simulator::Simulator(Options options, std::ostream& out)
    : options_(std::move(options)), events_(out), clock_(DateTime{2026, 1, 1}), ui_(clock_, events_),
      sounds_(std::make_unique<EventSounds>(events_)) {}

Simulator::~Simulator() = default;

int Simulator::run(std::istream& script) {
    std::string line;
    try {
        while (!finished_ && std::getline(script, line)) {
            const ScriptLine parsed = split_script_line(line);
            if (!parsed.error.empty()) {
                throw ScriptError{parsed.error + ": " + line};
            }
            if (!parsed.words.empty()) {
                execute(parsed.words);
            }
            if (recorder_ && recorder_->ended() && !finished_) {
                events_.write({{"event", "end"}, {"upload", recorder_->uploaded()}});
                finished_ = true;
                status_ = recorder_->failed() ? 1 : status_;
            }
        }
    } catch (const ScriptError& e) {
        events_.write({{"event", "error"}, {"text", e.text}});
        return 2;
    }
    return status_;
}

void Simulator::require_args(const std::vector<std::string>& words, std::size_t min, std::size_t max) const {
    const std::size_t n = words.size() - 1;
    if (n < min || n > max) {
        throw ScriptError{"引数の数が違います: " + words[0]};
    }
}

void Simulator::require_started() const {
    if (!started_) {
        throw ScriptError{"start の前には使えません"};
    }
}

void Simulator::execute(const std::vector<std::string>& w) {
    const std::string& cmd = w[0];
    if (cmd == "time") {
        require_args(w, 2, 2);
        cmd_time(w);
    } else if (cmd == "start") {
        require_args(w, 0, 0);
        cmd_start();
    } else if (cmd == "second-start") {
        require_args(w, 0, 0);
        cmd_second_start();
    } else if (cmd == "wait") {
        require_args(w, 1, 1);
        cmd_wait(w[1]);
    } else if (cmd == "card" || cmd == "tap") {
        require_args(w, 1, 1);
        cmd == "card" ? reader_.place(w[1]) : reader_.tap(w[1]);
    } else if (cmd == "lift") {
        require_args(w, 0, 0);
        reader_.lift();
    } else if (cmd == "reader") {
        require_args(w, 1, 1);
        cmd_reader(w[1]);
    } else if (cmd == "click") {
        require_args(w, 1, 1);
        cmd_click(w[1]);
    } else if (cmd == "close") {
        require_args(w, 0, 0);
        require_started();
        recorder_->close();
    } else if (cmd == "answer") {
        require_args(w, 1, 1);
        cmd_answer(w[1]);
    } else if (cmd == "keypad") {
        cmd_keypad(w);
    } else if (cmd == "setup") {
        cmd_setup(w);
    } else if (cmd == "drive" || cmd == "undrive") {
        cmd_drive(w);
    } else if (cmd == "report-log") {
        require_args(w, 0, 0);
        report_log_ = true;
        report_log();
    } else if (cmd == "show") {
        require_args(w, 0, 0);
        require_started();
        events_.write(state_event(*recorder_));
    } else {
        throw ScriptError{"不明なコマンドです: " + cmd};
    }
}

void Simulator::cmd_time(const std::vector<std::string>& w) {
    if (started_) {
        throw ScriptError{"time は start の前に書いてください"};
    }
    const auto t = parse_clock(w[1], w[2]);
    if (!t) {
        throw ScriptError{"日時が読めません: " + w[1] + " " + w[2]};
    }
    clock_.set(*t);
    time_set_ = true;
}

void Simulator::cmd_start() {
    if (started_) {
        throw ScriptError{"start は一度だけです"};
    }
    started_ = true;
    recorder_ = std::make_unique<Recorder>(Services{clock_, ui_, reader_, *sounds_, drives_}, options_);
    report_log();
    instance_ = std::make_unique<SingleInstance>(options_.root);
    const DataFolder taken = take_data_folder(options_, *instance_);
    tell_data_folder(ui_, taken);
    if (taken.outcome != DataFolder::Outcome::Taken) {
        refuse_start(taken);
        return;
    }
    // Only the copy that holds the folder fills it, as the window program does.
    if (options_.demo) {
        if (const std::string failed = DemoRoot(options_.root).prepare(clock_.now()); !failed.empty()) {
            throw ScriptError{failed};
        }
    }
    recorder_->start();
}

// Another copy holds the folder (it is asked to show its window), or the folder cannot be used at all.
void Simulator::refuse_start(const DataFolder& taken) {
    if (taken.outcome == DataFolder::Outcome::Running) {
        events_.write({{"event", "activate"}, {"restored", false}});
    } else {
        status_ = 1;
    }
    events_.write({{"event", "end"}, {"upload", false}});
    finished_ = true;
}

void Simulator::cmd_second_start() {
    require_started();
    SingleInstance second(options_.root);
    if (second.acquire() != SingleInstance::Acquired::Running) {
        throw ScriptError{"動作中のタイムレコーダーがありません"};
    }
    ui_.message(MessageIcon::Information, MessageButtons::Ok, already_running_message);
    second.request_activation();
    bool restored = false;
    if (instance_->take_activation_request()) {
        restored = recorder_->restore_window();
    }
    events_.write({{"event", "activate"}, {"restored", restored}});
}

// Once asked for, every line appended to the attendance log is reported when it is on disk, so that a test
// that kills the program knows which lines must have survived.
void Simulator::report_log() {
    if (!report_log_ || !recorder_) {
        return;
    }
    recorder_->on_log_line([this](std::string_view line) {
        events_.write({{"event", "logged"}, {"line", std::string(line)}});
    });
}

void Simulator::cmd_wait(const std::string& duration) {
    const auto ms = parse_duration(duration);
    if (!ms) {
        throw ScriptError{"時間の長さが読めません: " + duration};
    }
    for (std::int64_t done = 0; done + 100 <= *ms; done += 100) {
        clock_.advance_millis(100);
        if (recorder_ && recorder_->polling() && !recorder_->ended()) {
            recorder_->timer_tick();
        }
        if (recorder_ && recorder_->ended()) {
            return;
        }
    }
    clock_.advance_millis(*ms % 100);
}

void Simulator::cmd_click(const std::string& control) {
    require_started();
    if (control == "cmd_IN") {
        recorder_->cmd_in_click();
    } else if (control == "cmd_OUT") {
        recorder_->cmd_out_click();
    } else if (control == "Cmd_FromUSB") {
        recorder_->cmd_from_usb_click();
    } else if (control == "Cmd_ToUSB") {
        recorder_->cmd_to_usb_click();
    } else if (control == "cmd_Func") {
        recorder_->cmd_func_click();
    } else {
        throw ScriptError{"クリックできないコントロールです: " + control};
    }
}

void Simulator::cmd_answer(const std::string& answer) {
    if (answer != "yes" && answer != "no" && answer != "close" && answer != "timeout") {
        throw ScriptError{"answer は yes、no、close、timeout のいずれかです: " + answer};
    }
    ui_.queue_answer(answer);
}

void Simulator::cmd_keypad(const std::vector<std::string>& w) {
    std::vector<std::string> keys(w.begin() + 1, w.end());
    if (!ScriptedUi::valid_keypad_use(keys)) {
        throw ScriptError{"keypad のキーが正しくありません (登録、取消、close、timeout で終えてください)"};
    }
    ui_.queue_keypad(std::move(keys));
}

void Simulator::cmd_setup(const std::vector<std::string>& w) {
    require_args(w, 1, 1);
    if (w[1] == "close") {
        ui_.queue_setup(std::nullopt);
    } else {
        ui_.queue_setup(w[1]);
    }
}

void Simulator::cmd_drive(const std::vector<std::string>& w) {
    if (w[0] == "undrive") {
        require_args(w, 1, 1);
        drives_.remove(w[1]);
        return;
    }
    require_args(w, 2, 3);
    if (w[1].size() != 1 || !std::isalpha(static_cast<unsigned char>(w[1][0]))) {
        throw ScriptError{"ドライブ名は英字一文字です: " + w[1]};
    }
    const int type = ScriptedDrives::type_code(w.size() == 4 ? w[3] : "removable");
    if (type < 0) {
        throw ScriptError{"不明なドライブの種類です: " + w[3]};
    }
    drives_.add(w[1], w[2], type);
}

void Simulator::cmd_reader(const std::string& state) {
    if (state != "missing" && state != "ok") {
        throw ScriptError{"reader は missing か ok です: " + state};
    }
    reader_.set_missing(state == "missing");
}
