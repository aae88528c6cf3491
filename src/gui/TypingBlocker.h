#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Drops every key while a question is open. A keyboard card reader types the card's IDm and Enter into
// whatever window has the focus: neither its Enter nor a Space or Escape may answer a question, and its
// digits are no one's input. The question then answers only to a click on one of its buttons.
class TypingBlocker : public QObject {
    Q_OBJECT
public:
    // Starts dropping keys aimed at the question's window; stops when the blocker is destroyed.
    explicit TypingBlocker(QWidget& question);
    ~TypingBlocker() override;
    TypingBlocker(const TypingBlocker&) = delete;
    TypingBlocker& operator=(const TypingBlocker&) = delete;

    // None of the question's buttons is a default one (drawn as the answer Enter would give), nor becomes
    // one by taking the keyboard focus.
    static void untypeable_buttons(QWidget& question);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> question_;
};
