#pragma once

#include "dialogs/UserInterface.h"

class QWidget;

// The person at the screen through Qt: message boxes without a title, and the three dialogs drawn from
// their models.
class QtUserInterface final : public UserInterface {
public:
    explicit QtUserInterface(QWidget* parent = nullptr) : parent_(parent) {}
    void set_parent(QWidget* parent) { parent_ = parent; }

    MessageAnswer message(MessageIcon icon, MessageButtons buttons, std::string_view text) override;
    void show_modal(YesNoDialog& dialog) override;
    void show_modal(Keypad& keypad) override;
    void show_modal(StoreSetup& setup) override;
    void process_events() override;

private:
    QWidget* parent_;
};
