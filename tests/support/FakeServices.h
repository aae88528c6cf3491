#pragma once

#include "app/recorder/ProgramEnd.h"
#include "app/recorder/Recorder.h"
#include "core/DateTime.h"
#include "dialogs/UserInterface.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A person at the screen for unit tests: records every message box and dialog, answers Yes/No questions
// from a queue (No when empty) and runs each dialog through a callback the test sets.
class FakeUi final : public UserInterface {
public:
    struct Message {
        MessageIcon icon;
        MessageButtons buttons;
        std::string text;
    };

    MessageAnswer message(MessageIcon icon, MessageButtons buttons, std::string_view text) override;
    void show_modal(YesNoDialog& dialog) override;
    void show_modal(Keypad& keypad) override;
    void show_modal(StoreSetup& setup) override;
    void process_events() override {
        ++events_processed;
        if (on_process_events) {
            on_process_events();
        }
    }

    std::vector<Message> messages;
    std::deque<MessageAnswer> answers;
    std::function<void(YesNoDialog&)> on_yes_no;
    std::function<void(Keypad&)> on_keypad;
    std::function<void(StoreSetup&)> on_store_setup;
    std::function<void()> on_process_events; // what the person does while a transfer lets events run
    int yes_no_shown = 0;
    int keypad_shown = 0;
    int store_setup_shown = 0;
    int events_processed = 0;
};

class FakeReader final : public CardReader {
public:
    std::int16_t get_smart_card_uid(Buffer& buffer) override;
    bool card_waiting() override { return arrived; }
    void forget_arrivals() override { arrived = false; }
    std::string idm;      // the card on the reader
    bool present = false; // whether a card lies on it
    bool arrived = false; // a card with idm came and waits to be taken (taken once, also when it has left)
    bool missing = false; // the reader component cannot be loaded
    int polls = 0;
};

class FakeSounds final : public Sounds {
public:
    void play(std::string_view name) override { played.emplace_back(name); }
    std::vector<std::string> played;
};

class FakeDrives final : public DriveList {
public:
    [[nodiscard]] std::vector<Drive> drives() const override {
        ++listed;
        if (on_list) {
            on_list();
        }
        return list;
    }
    std::vector<Drive> list;
    std::function<void()> on_list; // what the person does while a transfer walks the drives
    mutable int listed = 0;
};

// A recorder on a test root with fake services and a clock that moves only when told.
struct TestRecorder {
    explicit TestRecorder(const std::filesystem::path& root, DateTime now = DateTime{2026, 12, 8, 9, 0, 0},
                          Options options = {});

    ManualClock clock;
    FakeUi ui;
    FakeReader reader;
    FakeSounds sounds;
    FakeDrives drives;
    std::unique_ptr<Recorder> rec;

    // Advances the clock in 100 ms steps, ticking the timer while it is enabled.
    void wait_seconds(int seconds);
};
