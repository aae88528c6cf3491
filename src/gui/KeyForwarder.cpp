#include "gui/KeyForwarder.h"

#include "stamping/KeyboardReader.h"

#include <QKeyEvent>

#include <chrono>

bool KeyForwarder::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto now =
            std::chrono::duration_cast<KeyboardReader::Millis>(std::chrono::steady_clock::now().time_since_epoch());
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            reader_.key(U'\r', now);
        } else {
            // Keys without text (Shift for an upper-case digit, other modifiers) are no part of the entry.
            const auto text = key->text().toUcs4();
            for (const char32_t ch : text) {
                reader_.key(ch, now);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
