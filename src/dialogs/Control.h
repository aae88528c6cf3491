#pragma once

#include "dialogs/Color.h"

#include <string>

// Position and size in twips (1/1440 inch), as the window was designed.
struct Twips {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

enum class ControlKind { Label, Button };
enum class Alignment { Left, Center };

// One label or button of a window model: what the windows render and what the logic reads back.
struct Control {
    ControlKind kind = ControlKind::Label;
    std::string text;
    Color fore = colors::window_text;
    Color back = colors::neutral;
    double pt = 12;
    bool visible = true;
    bool bold = true;
    Alignment align = Alignment::Left;
    Twips at;
};
