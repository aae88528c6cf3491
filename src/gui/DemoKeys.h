#pragma once

#include <QObject>

#include <string>
#include <vector>

class KeyboardReader;

// The demo's cards: F1, F2, ... stand for touching the cards in the list, in order. A key types its card's
// IDm and Enter into the keyboard reader at once, as the reader itself does, and goes no further.
class DemoKeys : public QObject {
    Q_OBJECT
public:
    DemoKeys(KeyboardReader& reader, std::vector<std::string> cards, QObject* parent = nullptr)
        : QObject(parent), reader_(reader), cards_(std::move(cards)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyboardReader& reader_;
    std::vector<std::string> cards_;
};
