#include "app/DemoRoot.h"
#include "app/Options.h"
#include "app/Recorder.h"
#include "app/SingleInstance.h"
#include "core/Paths.h"
#include "gui/ControlView.h"
#include "gui/DemoKeys.h"
#include "gui/KeyForwarder.h"
#include "gui/MainWindow.h"
#include "gui/QtSounds.h"
#include "gui/QtUserInterface.h"
#include "stamping/KeyboardReader.h"
#include "stamping/PcscReader.h"
#include "transfer/FolderDrive.h"
#include "transfer/LinuxDrives.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QSocketNotifier>

#include <iostream>
#include <memory>

namespace {

// The card reader chosen on the command line. "auto" takes PC/SC when a reader answers, else the keyboard.
struct ChosenReader {
    std::unique_ptr<PcscReader> pcsc;
    std::unique_ptr<KeyboardReader> keyboard;
    CardReader& reader() { return pcsc ? static_cast<CardReader&>(*pcsc) : *keyboard; }
};

ChosenReader choose_reader(const Options& options) {
    ChosenReader chosen;
    if (options.reader == "keyboard" || options.demo) {
        chosen.keyboard = std::make_unique<KeyboardReader>();
        return chosen;
    }
    chosen.pcsc = std::make_unique<PcscReader>();
    if (options.reader == "auto" && !chosen.pcsc->reader_present()) {
        chosen.pcsc.reset();
        chosen.keyboard = std::make_unique<KeyboardReader>();
    }
    return chosen;
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
    QApplication app(argc, argv);
    register_font_substitutions();
    QtUserInterface ui;
    const Options& options = parsed.options;

    std::error_code ec;
    std::filesystem::create_directories(Paths(options.root).zerbanto(), ec);
    if (ec) {
        ui.message(MessageIcon::Critical, MessageButtons::Ok,
                   "データのフォルダーを作成できません。\n" + options.root.string() + "\n" + ec.message());
        return 1;
    }
    SingleInstance instance(options.root);
    if (!instance.acquire()) {
        ui.message(MessageIcon::Information, MessageButtons::Ok, "タイムレコーダーは既に起動しています。");
        instance.request_activation();
        return 0;
    }
    const DemoRoot demo(options.root);
    if (options.demo) {
        if (const std::string failed = demo.prepare(SystemClock().now()); !failed.empty()) {
            ui.message(MessageIcon::Critical, MessageButtons::Ok, failed);
            return 1;
        }
        std::cout << demo.legend() << std::flush;
    }

    SystemClock clock;
    ChosenReader reader = choose_reader(options);
    QtSounds sounds(QtSounds::choose_folder(options.sounds));
    LinuxDrives linux_drives;
    FolderDrive demo_stick(demo.usb_stick());
    DriveList& drives = options.demo ? static_cast<DriveList&>(demo_stick) : linux_drives;
    Recorder recorder(Services{clock, ui, reader.reader(), sounds, drives}, options);
    MainWindow window(recorder);
    if (reader.keyboard) {
        window.installEventFilter(new KeyForwarder(*reader.keyboard, &window));
    }
    if (options.demo) {
        window.installEventFilter(new DemoKeys(*reader.keyboard, DemoRoot::key_cards(), &window));
        window.setWindowTitle(window.windowTitle() + QStringLiteral(" - ") + to_qstring(DemoRoot::key_summary()));
    }
    ui.set_parent(&window);
    QObject::connect(&window, &MainWindow::ended, &app, [&app] { app.quit(); });

    QSocketNotifier activation(instance.listen_fd(), QSocketNotifier::Read);
    QObject::connect(&activation, &QSocketNotifier::activated, &window, [&] {
        if (instance.take_activation_request() && window.isMinimized()) {
            window.showNormal();
            window.showMaximized();
            window.raise();
            window.activateWindow();
        }
    });

    recorder.start();
    if (recorder.ended()) {
        return 0;
    }
    // Without a window manager showMaximized does nothing: give the window the whole screen as well.
    window.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    window.showMaximized();
    window.sync();
    return QApplication::exec();
}
