#include "app/demo/DemoRoot.h"
#include "app/recorder/Recorder.h"
#include "app/start/DataFolder.h"
#include "app/start/Options.h"
#include "app/start/SingleInstance.h"
#include "gui/ControlView.h"
#include "gui/DemoKeys.h"
#include "gui/KeyForwarder.h"
#include "gui/MainWindow.h"
#include "gui/QtSounds.h"
#include "gui/QtUserInterface.h"
#include "gui/ScreenlessStart.h"
#include "stamping/CombinedReader.h"
#include "stamping/KeyboardReader.h"
#include "stamping/PcscReader.h"
#include "transfer/FolderDrive.h"
#include "transfer/LinuxDrives.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>

#include <iostream>
#include <memory>
#include <optional>

namespace {

// The card reader chosen on the command line. "auto" reads the keyboard reader always and a PC/SC reader as
// soon as one can be reached, also one that appears after the start.
struct ChosenReader {
    std::unique_ptr<PcscReader> pcsc;
    std::unique_ptr<KeyboardReader> keyboard;
    std::unique_ptr<CombinedReader> combined;
    CardReader& reader() {
        if (combined) {
            return *combined;
        }
        return pcsc ? static_cast<CardReader&>(*pcsc) : *keyboard;
    }
};

ChosenReader choose_reader(const Options& options) {
    ChosenReader chosen;
    if (options.reader != "pcsc" || options.demo) {
        chosen.keyboard = std::make_unique<KeyboardReader>();
    }
    if (options.reader != "keyboard" && !options.demo) {
        chosen.pcsc = std::make_unique<PcscReader>();
    }
    if (chosen.keyboard && chosen.pcsc) {
        chosen.combined = std::make_unique<CombinedReader>(*chosen.keyboard, *chosen.pcsc);
    }
    return chosen;
}

// Takes the data folder for this copy. Otherwise says why and gives the program's exit status (another
// copy running on it is asked to show its window).
std::optional<int> take_root(const Options& options, QtUserInterface& ui, SingleInstance& instance) {
    const DataFolder taken = take_data_folder(options, instance);
    tell_data_folder(ui, taken);
    switch (taken.outcome) {
    case DataFolder::Outcome::Refused:
        return 1;
    case DataFolder::Outcome::Running:
        instance.request_activation();
        return 0;
    case DataFolder::Outcome::Taken:
        break;
    }
    return std::nullopt;
}

// Fills the demo folder with the sample store and prints the keys that touch its cards.
bool prepare_demo(const DemoRoot& demo, QtUserInterface& ui) {
    if (const std::string failed = demo.prepare(SystemClock().now()); !failed.empty()) {
        ui.message(MessageIcon::Critical, MessageButtons::Ok, failed);
        return false;
    }
    std::cout << demo.legend() << std::flush;
    return true;
}

// Keys reach the keyboard reader; in the demo, function keys touch the sample cards.
void forward_keys(MainWindow& window, ChosenReader& reader, bool demo) {
    if (reader.keyboard) {
        window.installEventFilter(new KeyForwarder(*reader.keyboard, &window));
    }
    if (demo) {
        window.installEventFilter(new DemoKeys(*reader.keyboard, DemoRoot::key_cards(), &window));
        window.setWindowTitle(window.windowTitle() + QStringLiteral(" - ") + to_qstring(DemoRoot::key_summary()));
    }
}

// A second start on the same folder asks this one to bring its window back.
void restore_on_request(QSocketNotifier& activation, SingleInstance& instance, MainWindow& window) {
    QObject::connect(&activation, &QSocketNotifier::activated, &window, [&instance, &window] {
        if (instance.take_activation_request() && window.isMinimized()) {
            window.showNormal();
            window.showMaximized();
            window.raise();
            window.activateWindow();
        }
    });
}

// A recorder that ended because stamping failed (the log would not take a stamp, the reader's component is
// gone) ends the program with status 1, so that whoever started it sees the failure; any other end is 0.
int status_at_end(const Recorder& recorder) {
    return recorder.failed() ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    const OptionsResult parsed = parse_options(std::vector<std::string>(argv + 1, argv + argc), Program::Window);
    if (!parsed.error.empty()) {
        std::cerr << "timerecorder: " << parsed.error << "\n" << usage_text(Program::Window);
        return 2;
    }
    if (parsed.options.help) {
        std::cout << usage_text(Program::Window);
        return 0;
    }
    std::optional<ScreenlessStart> screenless(std::in_place);
    QApplication app(argc, argv);
    screenless.reset();
    register_font_substitutions();
    QtUserInterface ui;
    if (!parsed.refusal.empty()) {
        std::cerr << "timerecorder: " << parsed.refusal << "\n";
        ui.message(MessageIcon::Critical, MessageButtons::Ok, parsed.refusal);
        return 1;
    }
    const Options& options = parsed.options;
    SingleInstance instance(options.root);
    if (const auto refused = take_root(options, ui, instance)) {
        return *refused;
    }
    const DemoRoot demo(options.root);
    if (options.demo && !prepare_demo(demo, ui)) {
        return 1;
    }

    SystemClock clock;
    ChosenReader reader = choose_reader(options);
    QtSounds sounds(QtSounds::choose_folder(options.sounds));
    LinuxDrives linux_drives;
    FolderDrive demo_stick(demo.usb_stick());
    DriveList& drives = options.demo ? static_cast<DriveList&>(demo_stick) : linux_drives;
    Recorder recorder(Services{clock, ui, reader.reader(), sounds, drives}, options);
    MainWindow window(recorder);
    forward_keys(window, reader, options.demo);
    ui.set_parent(&window);
    QObject::connect(&window, &MainWindow::ended, &app, [&app] { app.quit(); });
    QSocketNotifier activation(instance.listen_fd(), QSocketNotifier::Read);
    restore_on_request(activation, instance, window);

    recorder.start();
    if (recorder.ended()) {
        return status_at_end(recorder);
    }
    // Without a window manager showMaximized does nothing: give the window the whole screen as well.
    window.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    window.showMaximized();
    window.sync();
    const int status = QApplication::exec();
    return status != 0 ? status : status_at_end(recorder);
}
