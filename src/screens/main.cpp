// timerecorder-screens: draws the recorder's windows on the sample store and saves them as PNG files named
// after the scene and the screen size (main-idle-1366x768.png). Run it under a display of the size wanted.
#include "gui/ControlView.h"
#include "gui/ScreenSet.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>

#include <iostream>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    register_font_substitutions();
    const QStringList args = QApplication::arguments();
    const QString out = args.size() > 1 ? args.at(1) : QStringLiteral(".");
    if (!QDir().mkpath(out)) {
        std::cerr << "timerecorder-screens: cannot create " << out.toStdString() << "\n";
        return 1;
    }
    QTemporaryDir root;
    if (!root.isValid()) {
        std::cerr << "timerecorder-screens: no temporary folder\n";
        return 1;
    }
    const QSize size = QGuiApplication::primaryScreen()->availableGeometry().size();
    const QString suffix = QStringLiteral("-%1x%2.png").arg(size.width()).arg(size.height());
    int failures = 0;
    ScreenSet screens(root.path().toStdString(), size);
    screens.render_all([&](const std::string& name, QWidget& window) {
        const QString file = QDir(out).filePath(QString::fromStdString(name) + suffix);
        if (window.grab().save(file)) {
            std::cout << file.toStdString() << "\n";
        } else {
            std::cerr << "timerecorder-screens: cannot write " << file.toStdString() << "\n";
            ++failures;
        }
    });
    for (const auto& m : screens.messages()) {
        std::cerr << "timerecorder-screens: the recorder said: " << m << "\n";
    }
    return failures == 0 ? 0 : 1;
}
