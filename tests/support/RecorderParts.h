#pragma once

#include "app/recorder/Recorder.h"

#include <string>

// The parts of a recorder under test, changeable: a test runs one part's routine alone or sets up a situation
// through the part's own operations. The programs see the parts read-only.
struct RecorderParts {
    static StoreLists& lists(Recorder& r) { return r.lists_; }
    static Panel& panel(Recorder& r) { return r.panel_; }
    static CardTouches& card(Recorder& r) { return r.card_; }
    static Transfers& transfers(Recorder& r) { return r.transfers_; }
    // The keypad as an earlier registration in the run left it.
    static Keypad& keypad(Recorder& r) { return r.card_.uf_10key_; }
};

// The recorder's store becomes the store of this code, as a settings file that says so gives it.
void use_store(Recorder& r, const std::string& store_code);
