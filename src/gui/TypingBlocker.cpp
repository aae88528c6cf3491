#include "gui/TypingBlocker.h"

#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QWidget>
#include <QWindow>

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
    // Keys arrive at the question's native window first and then at its focus widget: both are dropped.
    if (auto* widget = qobject_cast<QWidget*>(watched)) {
        return widget->window() == question_;
    }
    if (auto* window = qobject_cast<QWindow*>(watched)) {
        return window == question_->windowHandle();
    }
    return false;
}
