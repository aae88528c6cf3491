#pragma once

#include "gui/ControlView.h"

#include <QApplication>

// The one application object of the window tests, shared by every test in the process and left to the end
// of the process: a static one would be destroyed among the exit handlers, after Qt's own globals, and a
// second one beside it is not allowed.
inline void gui_app() {
    static int argc = 1;
    static char name[] = "timerecorder_gui_tests";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) {
        new QApplication(argc, argv); // NOLINT: lives until the process ends
        register_font_substitutions();
    }
}
