#include "gui/QtSounds.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>

QtSounds::QtSounds(std::filesystem::path folder) : folder_(std::move(folder)) {}

// Qt's sample cache, torn down when the process exits, deadlocks with its loader thread while a sound is
// still being decoded; so the player waits (at most two seconds) for every sound to be loaded first.
QtSounds::~QtSounds() {
    const QDeadlineTimer limit(2000);
    auto loading = [this] {
        for (const auto& [name, effect] : effects_) {
            if (effect->status() == QSoundEffect::Loading) {
                return true;
            }
        }
        return false;
    };
    while (loading() && !limit.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

std::filesystem::path QtSounds::choose_folder(const std::filesystem::path& given) {
    if (!given.empty()) {
        return given;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(TR_INSTALLED_SOUNDS, ec)) {
        return TR_INSTALLED_SOUNDS;
    }
    return TR_SOURCE_SOUNDS;
}

void QtSounds::play(std::string_view name) {
    const std::filesystem::path file = folder_ / (std::string(name) + ".wav");
    std::error_code ec;
    // Looked up at every play, as the sound folder may be filled or emptied while the recorder runs.
    if (!std::filesystem::is_regular_file(file, ec)) {
        return;
    }
    auto it = effects_.find(name);
    if (it == effects_.end()) {
        it = effects_.emplace(std::string(name), std::make_unique<QSoundEffect>()).first;
        it->second->setSource(QUrl::fromLocalFile(QString::fromStdString(file.string())));
    }
    it->second->play();
}
