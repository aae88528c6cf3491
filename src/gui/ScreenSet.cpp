#include "gui/ScreenSet.h"

#include "app/demo/SampleStore.h"
#include "app/recorder/CardTouches.h"
#include "app/recorder/Recorder.h"
#include "board/NameFont.h"
#include "core/TextFile.h"
#include "core/TimeText.h"
#include "gui/MainWindow.h"
#include "gui/QtUserInterface.h"
#include "lists/ShiftPlan.h"
#include "lists/TitleLine.h"
#include "stamping/AttendanceLog.h"
#include "stamping/LogLine.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

const DateTime sample_now{2026, 12, 8, 14, 32, 5};

// No card, until a scene lays one on the reader.
class SceneReader final : public CardReader {
public:
    std::int16_t get_smart_card_uid(Buffer& buffer) override {
        if (idm.empty()) {
            return 1;
        }
        std::copy_n(idm.begin(), std::min(idm.size(), buffer_size), buffer.begin());
        return 0;
    }
    std::string idm;
};

class Silence final : public Sounds {
public:
    void play(std::string_view) override {}
};

class NoDrives final : public DriveList {
public:
    [[nodiscard]] std::vector<Drive> drives() const override { return {}; }
};

// The recorder's own questions are answered "no" and kept: the scenes must not stop on a message box.
class QuietUi final : public UserInterface {
public:
    MessageAnswer message(MessageIcon, MessageButtons buttons, std::string_view text) override {
        messages.emplace_back(text);
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
    void show_modal(YesNoDialog& d) override { d.close_box(); }
    void show_modal(Keypad& k) override { k.close_box(); }
    void show_modal(StoreSetup& s) override { s.close_box(); }
    void process_events() override {}
    std::vector<std::string> messages;
};

struct SampleRow {
    const char* planned; // planned start, empty when the member was not planned
    enum { Planned, OnShift, Out, FirstSeenOut } state;
    int minutes_in; // on shift: minutes since shift-in
};

// A busy afternoon, row i for sample member i: planned members not in yet, stays under 4 hours, from 4 and from 6
// hours, members gone home, and members first seen by a shift-out; long names in the smaller size.
constexpr std::array<SampleRow, board_rows> busy_rows{{
    {"9:00", SampleRow::OnShift, 6 * 60 + 31},
    {"9:00", SampleRow::Out, 0},
    {"10:00", SampleRow::OnShift, 4 * 60 + 30},
    {"10:00", SampleRow::OnShift, 4 * 60 + 2},
    {"11:00", SampleRow::OnShift, 3 * 60 + 35},
    {"12:00", SampleRow::OnShift, 2 * 60 + 30},
    {"13:00", SampleRow::OnShift, 1 * 60 + 33},
    {"14:00", SampleRow::OnShift, 30},
    {"15:00", SampleRow::Planned, 0},
    {"16:00", SampleRow::Planned, 0},
    {"17:00", SampleRow::Planned, 0},
    {"18:00", SampleRow::Planned, 0},
    {"", SampleRow::OnShift, 7 * 60 + 2},
    {"", SampleRow::Out, 0},
    {"", SampleRow::OnShift, 5 * 60 + 59},
    {"", SampleRow::FirstSeenOut, 0},
    {"", SampleRow::OnShift, 2},
    {"", SampleRow::OnShift, 45},
    {"", SampleRow::Out, 0},
    {"", SampleRow::OnShift, 3 * 60 + 59},
    {"", SampleRow::OnShift, 1 * 60 + 10},
    {"", SampleRow::FirstSeenOut, 0},
    {"", SampleRow::OnShift, 20},
    {"", SampleRow::OnShift, 6 * 60},
    {"", SampleRow::Out, 0},
    {"", SampleRow::OnShift, 12},
}};

// The busy afternoon as the store's files hold it: the plan of the planned rows and the day's stamps in the log,
// in the order of their times. The day restore puts them on the board.
void write_busy_day(const Paths& paths) {
    // The plan's lines without a title: lbl_shift stays empty, as in a shop whose plan carries none.
    std::vector<std::string> plan{std::string(title_line_code) + ","};
    struct Line {
        int minutes;
        std::size_t member;
        int mode;
    };
    std::vector<Line> stamps;
    const int now_minutes = sample_now.hour * 60 + sample_now.minute;
    for (std::size_t i = 0; i < busy_rows.size(); ++i) {
        const SampleRow& s = busy_rows[i];
        const sample::Member& m = sample::members().at(i);
        if (*s.planned != '\0') {
            plan.push_back(timetext::yymmdd(sample_now) + "," + m.name + "," + m.code + "," + s.planned + ",21:00");
        }
        const int spread = static_cast<int>(i); // rows stamped in the same minute keep the order of the rows
        switch (s.state) {
        case SampleRow::OnShift:
            stamps.push_back({now_minutes - s.minutes_in, i, 1});
            break;
        case SampleRow::Out:
            stamps.push_back({8 * 60 + spread, i, 1});
            stamps.push_back({13 * 60 + spread, i, 2});
            break;
        case SampleRow::FirstSeenOut:
            stamps.push_back({12 * 60 + spread, i, 2});
            break;
        case SampleRow::Planned:
            break;
        }
    }
    (void)textfile::write_lines_atomic(paths.file(shift_file_name(sample::store_code)), plan);
    std::stable_sort(stamps.begin(), stamps.end(), [](const Line& a, const Line& b) { return a.minutes < b.minutes; });
    AttendanceLog log;
    if (!log.open_append(paths.attendance_log(sample::store_code))) {
        return;
    }
    for (const Line& l : stamps) {
        const sample::Member& m = sample::members().at(l.member);
        const DateTime at{sample_now.year, sample_now.month, sample_now.day, l.minutes / 60, l.minutes % 60, 0};
        (void)log.append_line(log_line(sample::store_code, at, m.code, m.name, l.mode, "", "", m.idm));
    }
}

void write_sample_store(const Paths& paths) {
    (void)sample::write_settings(paths);
    (void)sample::write_members(paths.member_list(), busy_rows.size(), "2026/12/07 更新");
}

// Runs the dialog the show call opens and hands it to visit as soon as it is on screen, then closes it by its
// close box, which every dialog takes as "cancel".
void visit_modal(const std::function<void()>& show, const std::function<void(QWidget&)>& visit) {
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr || !dialog->isVisible()) {
            return;
        }
        poll.stop();
        visit(*dialog);
        dialog->close();
    });
    poll.start();
    show();
}

} // namespace

struct ScreenSet::State {
    State(std::filesystem::path root, QSize screen)
        : clock(sample_now), options(make_options(std::move(root))), size(screen) {}

    static Options make_options(std::filesystem::path root) {
        Options o;
        o.root = std::move(root);
        return o;
    }

    ManualClock clock;
    QuietUi ui;
    SceneReader reader;
    Silence sounds;
    NoDrives drives;
    Options options;
    QSize size;
};

ScreenSet::ScreenSet(std::filesystem::path root, QSize size) : state_(std::make_unique<State>(std::move(root), size)) {}

ScreenSet::~ScreenSet() = default;

const std::vector<std::string>& ScreenSet::messages() const {
    return state_->ui.messages;
}

void ScreenSet::render_all(const std::function<void(const std::string&, QWidget&)>& visit) {
    State& s = *state_;
    write_sample_store(Paths(s.options.root));
    Recorder rec(Services{s.clock, s.ui, s.reader, s.sounds, s.drives}, s.options);
    rec.start();
    MainWindow window(rec);
    window.setGeometry(0, 0, s.size.width(), s.size.height());
    window.show();
    s.clock.advance_millis(1000);
    window.tick();
    window.sync();
    visit("main-idle", window);

    QtUserInterface dialogs(&window);
    // The dialogs as card stamping and the start-up open them, on models of their own.
    YesNoDialog question;
    question.UF2L.text = unregistered_question;
    visit_modal([&] { dialogs.show_modal(question); }, [&](QWidget& w) { visit("uf2", w); });
    MemberTable members = rec.lists().members();
    Keypad keypad(members);
    keypad.open_for("012E4C1B3A5F6D7E");
    keypad.digit_click(1); // the prompt and the first digit below it
    visit_modal([&] { dialogs.show_modal(keypad); }, [&](QWidget& w) { visit("uf10key", w); });
    StoreSetup setup(rec.paths().settings_file());
    setup.load();
    visit_modal([&] { dialogs.show_modal(setup); }, [&](QWidget& w) { visit("ufinitial", w); });
    visit_modal(
        [&] {
            (void)dialogs.message(MessageIcon::Exclamation, MessageButtons::YesNo,
                                  "メンバーリストを \n/media/kiosk/STICK/E99_member.csv\nと入替えて良いですが ?");
        },
        [&](QWidget& w) { visit("question", w); });
    visit_modal([&] { (void)dialogs.message(MessageIcon::Critical, MessageButtons::Ok, "USBメモリが見つかりません"); },
                [&](QWidget& w) { visit("message", w); });

    // The busy afternoon: a recorder started on the day's plan and stamps, the other mode highlighted, and a
    // member's card just read.
    write_busy_day(Paths(s.options.root));
    Options busy_options = s.options;
    busy_options.demo = true; // the plan on disk is loaded stand-alone
    Recorder busy(Services{s.clock, s.ui, s.reader, s.sounds, s.drives}, busy_options);
    busy.start();
    MainWindow busy_window(busy);
    busy_window.setGeometry(0, 0, s.size.width(), s.size.height());
    busy_window.show();
    busy.cmd_out_click();
    s.reader.idm = sample::members().at(1).idm;
    s.clock.advance_millis(1000);
    busy_window.tick();
    s.reader.idm.clear();
    busy_window.sync();
    visit("main-busy", busy_window);

    busy.cmd_func_click();
    busy_window.sync();
    visit("main-stopped", busy_window);
}
