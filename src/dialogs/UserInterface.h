#pragma once

#include <string>
#include <string_view>

class YesNoDialog;
class Keypad;
class StoreSetup;

enum class MessageIcon { Information, Exclamation, Critical, None };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// Everything the logic asks of a person, and the event loop it lets run. The window program answers with
// Qt dialogs, the simulator with scripted answers, the tests with queued ones.
class UserInterface {
public:
    virtual ~UserInterface() = default;

    // A message box without a title of its own; returns when it has been answered.
    virtual MessageAnswer message(MessageIcon icon, MessageButtons buttons, std::string_view text) = 0;
    // The modal dialogs: each returns once its model has hidden it (a button, its close box, its time limit).
    virtual void show_modal(YesNoDialog& dialog) = 0;
    virtual void show_modal(Keypad& keypad) = 0;
    virtual void show_modal(StoreSetup& setup) = 0;
    // Lets pending window events (clicks, repaints) run once.
    virtual void process_events() = 0;
};
