#include "app/recorder/ProgramEnd.h"

void end_with_message(UserInterface& ui, MessageIcon icon, const std::string& text, bool failed) {
    ui.message(icon, MessageButtons::Ok, text);
    throw ProgramEnd{failed};
}
