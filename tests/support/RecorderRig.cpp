#include "support/RecorderRig.h"

#include <gtest/gtest.h>

MessageAnswer TestUi::message(MessageIcon icon, MessageButtons buttons, std::string_view text) {
    messages.push_back({icon, std::string(text)});
    return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

void TestUi::show_modal(YesNoDialog&) { ADD_FAILURE() << "unexpected yes/no dialog"; }

void TestUi::show_modal(Keypad&) { ADD_FAILURE() << "unexpected keypad"; }

void TestUi::show_modal(StoreSetup& setup) {
    ++setups_shown;
    if (setups.empty()) {
        ADD_FAILURE() << "unexpected store setup";
        setup.close_box();
        return;
    }
    const auto text = setups.front();
    setups.pop_front();
    if (text) {
        setup.UF_mise.text = *text;
        setup.set_click();
    } else {
        setup.close_box();
    }
}

RecorderRig::RecorderRig(Options options)
    : rec(Services{clock, ui, reader, sounds, drives}, std::move(options)) {}

Options rig_options(const std::filesystem::path& root, int port) {
    Options o;
    o.root = root;
    if (port != 0) {
        o.server = "127.0.0.1";
        o.ftp_port = port;
    }
    return o;
}
