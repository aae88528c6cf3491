#include "gui/TypingBlocker.h"

#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QWidget>

namespace {

bool is_typing(QEvent::Type type) {
    return type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::ShortcutOverride ||
           type == QEvent::Shortcut;
}

} // namespace

TypingBlocker::TypingBlocker(QWidget& question) : question_(&question) {
    untypeable_buttons(question);
    qApp->installEventFilter(this);
}

TypingBlocker::~TypingBlocker() {
    qApp->removeEventFilter(this);
}

void TypingBlocker::untypeable_buttons(QWidget& question) {
    for (auto* b : question.findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
    }
}

bool TypingBlocker::eventFilter(QObject* watched, QEvent* event) {
    if (question_ == nullptr || !is_typing(event->type())) {
        return false;
    }
    // Every key reaches a widget in the end (the focus widget, or the window itself without one).
    const auto* widget = qobject_cast<QWidget*>(watched);
    return widget != nullptr && widget->window() == question_;
}
