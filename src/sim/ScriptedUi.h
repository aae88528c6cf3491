#pragma once

#include "core/DateTime.h"
#include "dialogs/UserInterface.h"
#include "sim/EventWriter.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

// The simulator's person at the screen: answers questions, the keypad and the store setup from queues the
// script filled, and reports every message box and dialog as an event. A question with no answer queued
// is a script error.
class ScriptedUi final : public UserInterface {
public:
    ScriptedUi(ManualClock& clock, EventWriter& events) : clock_(clock), events_(events) {}

    MessageAnswer message(MessageIcon icon, MessageButtons buttons, std::string_view text) override;
    void show_modal(YesNoDialog& dialog) override;
    void show_modal(Keypad& keypad) override;
    void show_modal(StoreSetup& setup) override;
    void process_events() override {}

    void queue_answer(std::string answer) { answers_.push_back(std::move(answer)); }
    void queue_keypad(std::vector<std::string> keys) { keypads_.push_back(std::move(keys)); }
    void queue_setup(std::optional<std::string> text) { setups_.push_back(std::move(text)); }

    // True when the keys are a valid keypad use: known keys, ending with 登録, 取消, close or timeout.
    [[nodiscard]] static bool valid_keypad_use(const std::vector<std::string>& keys);

private:
    std::string take_answer(const char* what);
    void press(Keypad& keypad, const std::string& key);

    ManualClock& clock_;
    EventWriter& events_;
    std::deque<std::string> answers_;
    std::deque<std::vector<std::string>> keypads_;
    std::deque<std::optional<std::string>> setups_;
};
