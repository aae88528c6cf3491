#include "app/Options.h"
#include "app/Recorder.h"
#include "app/SingleInstance.h"
#include "core/Paths.h"
#include "gui/ControlView.h"
#include "gui/MainWindow.h"
#include "gui/QtUserInterface.h"
#include "transfer/LinuxDrives.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QSocketNotifier>

#include <iostream>

namespace {

class NoReader final : public CardReader {
public:
    std::int16_t get_smart_card_uid(Buffer&) override { return 1; }
};

class NoSounds final : public Sounds {
public:
    void play(std::string_view) override {}
};

class NoDrives final : public DriveList {
public:
    [[nodiscard]] std::vector<Drive> drives() const override { return {}; }
};

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

    SystemClock clock;
    NoReader reader;
    NoSounds sounds;
    LinuxDrives drives;
    Recorder recorder(Services{clock, ui, reader, sounds, drives}, options);
    MainWindow window(recorder);
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
