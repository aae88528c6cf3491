#pragma once

#include "app/Recorder.h"
#include "sim/ScriptedDrives.h"
#include "sim/ScriptedReader.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

// A person at the screen for in-process tests: message boxes are recorded and answered OK, the store setup
// is answered from a queue, and every turn of the event loop is counted.
class TestUi final : public UserInterface {
public:
    struct Message {
        MessageIcon icon;
        std::string text;
    };

    MessageAnswer message(MessageIcon icon, MessageButtons buttons, std::string_view text) override;
    void show_modal(YesNoDialog& dialog) override;
    void show_modal(Keypad& keypad) override;
    void show_modal(StoreSetup& setup) override;
    void process_events() override { ++event_turns; }

    std::vector<Message> messages;
    std::deque<std::optional<std::string>> setups; // text typed and "設定" pressed, or nullopt: close box
    int setups_shown = 0;
    int event_turns = 0;
};

class SilentSounds final : public Sounds {
public:
    void play(std::string_view) override {}
};

// A recorder built in the test, with a clock that stands still until moved.
struct RecorderRig {
    explicit RecorderRig(Options options);

    ManualClock clock;
    TestUi ui;
    ScriptedReader reader;
    SilentSounds sounds;
    ScriptedDrives drives;
    Recorder rec;
};

// Options for a root folder, connected to an FTP server on 127.0.0.1 when port is not 0.
[[nodiscard]] Options rig_options(const std::filesystem::path& root, int port = 0);
