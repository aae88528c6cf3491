#include "gui/DemoKeys.h"

#include "stamping/KeyboardReader.h"

#include <QKeyEvent>

#include <chrono>

bool DemoKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key >= Qt::Key_F1 && key < Qt::Key_F1 + static_cast<int>(cards_.size())) {
            const auto now =
                std::chrono::duration_cast<KeyboardReader::Millis>(std::chrono::steady_clock::now().time_since_epoch());
            for (const char ch : cards_[static_cast<std::size_t>(key - Qt::Key_F1)]) {
                reader_.key(static_cast<char32_t>(ch), now);
            }
            reader_.key(U'\r', now);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
