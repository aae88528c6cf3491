#pragma once

#include "core/Control.h"

#include <QColor>
#include <QString>

class QWidget;

// Renders model controls on Qt widgets: twips scaled to the screen, point sizes scaled alike.
struct Scale {
    double factor = 1.0; // pixels per twip
    int x_offset = 0;    // twips added to every left edge (controls placed partly off the left edge)

    [[nodiscard]] int px(double twips) const { return static_cast<int>(twips * factor + 0.5); }
};

// The font family of the window, with its Japanese stand-in registered (IPAPGothic).
[[nodiscard]] QString window_font_family();
void register_font_substitutions();

[[nodiscard]] QColor to_qcolor(const Color& c, const QWidget* w);
[[nodiscard]] QString to_qstring(const std::string& utf8);

// Applies text, colours, font, geometry and visibility of the control to a QLabel or QPushButton, touching
// only what changed.
void apply_control(QWidget* widget, const Control& control, const Scale& scale);
