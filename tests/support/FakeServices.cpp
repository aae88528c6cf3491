#include "support/FakeServices.h"

#include "dialogs/Keypad.h"
#include "dialogs/StoreSetup.h"
#include "dialogs/YesNoDialog.h"

#include <algorithm>
#include <utility>

MessageAnswer FakeUi::message(MessageIcon icon, MessageButtons buttons, std::string_view text) {
    messages.push_back({icon, buttons, std::string(text)});
    if (buttons == MessageButtons::Ok) {
        return MessageAnswer::Ok;
    }
    if (answers.empty()) {
        return MessageAnswer::No;
    }
    const MessageAnswer a = answers.front();
    answers.pop_front();
    return a;
}

void FakeUi::show_modal(YesNoDialog& dialog) {
    ++yes_no_shown;
    dialog.visible = true;
    if (on_yes_no) {
        on_yes_no(dialog);
    } else {
        dialog.close_box();
    }
}

void FakeUi::show_modal(Keypad& keypad) {
    ++keypad_shown;
    keypad.visible = true;
    if (on_keypad) {
        on_keypad(keypad);
    } else {
        keypad.close_box();
    }
}

void FakeUi::show_modal(StoreSetup& setup) {
    ++store_setup_shown;
    if (on_store_setup) {
        on_store_setup(setup);
    } else {
        setup.close_box();
    }
}

std::int16_t FakeReader::get_smart_card_uid(Buffer& buffer) {
    ++polls;
    if (missing) {
        throw RuntimeError(ErrorNumber::FileNotFound);
    }
    if (!present && !std::exchange(arrived, false)) {
        return 1;
    }
    arrived = false;
    std::copy_n(idm.begin(), std::min(idm.size(), buffer_size), buffer.begin());
    return 0;
}

TestRecorder::TestRecorder(const std::filesystem::path& root, DateTime now, Options options) : clock(now) {
    options.root = root;
    rec = std::make_unique<Recorder>(Services{clock, ui, reader, sounds, drives}, std::move(options));
}

void TestRecorder::wait_seconds(int seconds) {
    for (int i = 0; i < seconds * 10 && !rec->ended(); ++i) {
        clock.advance_millis(100);
        if (rec->polling()) {
            rec->timer_tick();
        }
    }
}
