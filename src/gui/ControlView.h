#pragma once

#include "dialogs/Control.h"

#include <QColor>
#include <QString>

#include <cmath>

class QWidget;

// Renders model controls on Qt widgets: twips scaled to the screen, point sizes scaled alike.
struct Scale {
    double factor = 1.0; // pixels per twip
    int x_offset = 0;    // twips added to every left edge (controls placed partly off the left edge)

    [[nodiscard]] int px(double twips) const { return static_cast<int>(std::lround(twips * factor)); }
};

// The scale of every dialog, from the screen it appears on (the main window's, else the primary one): the
// same at start-up, before the main window has its size, as later. Dialogs are drawn larger than the main
// window's twips so that their buttons stay large enough for a finger.
[[nodiscard]] Scale dialog_scale(const QWidget* near);
// Puts a top-level window in the middle of that screen's free area.
void center_on_screen(QWidget& window, const QWidget* near);

// The font family of the window, with its Japanese stand-in registered (Noto Sans CJK JP).
[[nodiscard]] QString window_font_family();
void register_font_substitutions();

[[nodiscard]] QColor to_qcolor(const Color& c, const QWidget* w);
[[nodiscard]] QString to_qstring(const std::string& utf8);

// Applies text, colours, font, geometry and visibility of the control to a QLabel or QPushButton, touching
// only what changed.
void apply_control(QWidget* widget, const Control& control, const Scale& scale);
