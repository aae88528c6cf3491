#pragma once

#include <QObject>

class KeyboardReader;

// Hands the key presses that reach a window to the keyboard card reader, with the time they arrived.
// The keys still go on to the window: the reader only listens.
class KeyForwarder : public QObject {
    Q_OBJECT
public:
    KeyForwarder(KeyboardReader& reader, QObject* parent = nullptr) : QObject(parent), reader_(reader) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyboardReader& reader_;
};
