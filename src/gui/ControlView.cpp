#include "gui/ControlView.h"

#include <QAbstractButton>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include <algorithm>

QString window_font_family() {
    return QStringLiteral("ＭＳ Ｐゴシック");
}

void register_font_substitutions() {
    // Noto Sans CJK JP first: it has real bold weights, and synthetic bold of the others stops at the clock's size.
    QFont::insertSubstitutions(window_font_family(), {QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic"),
                                                      QStringLiteral("IPAGothic"), QStringLiteral("VL PGothic")});
}

namespace {
QRect free_area(const QWidget* near) {
    const QWidget* main = near != nullptr ? near->window() : nullptr;
    const QScreen* screen =
        main != nullptr && main->screen() != nullptr ? main->screen() : QGuiApplication::primaryScreen();
    return screen->availableGeometry();
}
} // namespace

Scale dialog_scale(const QWidget* near) {
    constexpr double design_width = 14085.0; // the main window's design client area
    constexpr double design_height = 14205.0;
    const QSize area = free_area(near).size();
    Scale scale;
    scale.factor = std::min(area.width() / design_width, area.height() / design_height) * 1.15;
    return scale;
}

void center_on_screen(QWidget& window, const QWidget* near) {
    QRect frame(QPoint(0, 0), window.frameGeometry().size().expandedTo(window.size()));
    frame.moveCenter(free_area(near).center());
    window.move(frame.topLeft());
}

QString to_qstring(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QColor to_qcolor(const Color& c, const QWidget* w) {
    switch (c.system_colour()) {
    case Color::System::ButtonText:
        return w->palette().color(QPalette::ButtonText);
    case Color::System::WindowText:
        return w->palette().color(QPalette::WindowText);
    case Color::System::None:
        break;
    }
    return QColor(c.red(), c.green(), c.blue());
}

namespace {
// A button's caption wraps at its blanks when it is wider than the button, as captions do on the
// platform the window was designed for ("シフト　イン" stands on two lines).
QString wrapped_caption(const QString& text, const Control& control, const Scale& scale) {
    QFont font(window_font_family());
    font.setBold(control.bold);
    font.setPixelSize(std::max(1, scale.px(control.pt * 20.0)));
    const int room = scale.px(control.at.width) - 8;
    if (QFontMetrics(font).horizontalAdvance(text) <= room) {
        return text;
    }
    QString out = text;
    out.replace(QChar(0x3000), QChar(u'\n'));
    out.replace(QChar(u' '), QChar(u'\n'));
    return out;
}

int widest_line(const QFont& font, const QString& text) {
    const QFontMetrics metrics(font);
    int widest = 0;
    for (const QString& line : text.split(QChar(u'\n'))) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    return widest;
}

// A one-line label whose text is wider than the label is drawn smaller rather than cut off: the window's
// font stand-in has wider digits than the font it was designed for, and the clock would lose its last digit.
int fitted_pixel_size(QFont font, const QString& text, int width) {
    const int widest = widest_line(font, text);
    if (widest <= width || width <= 0) {
        return font.pixelSize();
    }
    int size = std::max(1, font.pixelSize() * width / widest);
    for (font.setPixelSize(size); size > 1 && widest_line(font, text) > width; font.setPixelSize(--size)) {
    }
    return size;
}
// A wrapped label whose lines are taller than the label is drawn smaller in the same way: the Japanese font
// stand-in has a larger line spacing than the font the dialogs were designed for, and the keypad's prompt
// with the code below it would lose the code.
int fitted_wrapped_pixel_size(QFont font, const QString& text, const QSize& room) {
    const auto height = [&] {
        return QFontMetrics(font).boundingRect(QRect(QPoint(0, 0), room), Qt::TextWordWrap, text).height();
    };
    for (int size = font.pixelSize(); size > 1 && height() > room.height(); font.setPixelSize(--size)) {
    }
    return font.pixelSize();
}
} // namespace

void apply_control(QWidget* widget, const Control& control, const Scale& scale) {
    const QString text = to_qstring(control.text);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (label->text() != text) {
            label->setText(text);
        }
        label->setAlignment((control.align == Alignment::Center ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        const QString shown = wrapped_caption(text, control, scale);
        if (button->text() != shown) {
            button->setText(shown);
        }
    }
    QFont font(window_font_family());
    font.setBold(control.bold);
    font.setPixelSize(std::max(1, scale.px(control.pt * 20.0)));
    if (const auto* label = qobject_cast<QLabel*>(widget)) {
        const QMargins margins = label->contentsMargins();
        const QSize room(scale.px(control.at.width) - margins.left() - margins.right(),
                         scale.px(control.at.height) - margins.top() - margins.bottom());
        font.setPixelSize(label->wordWrap() ? fitted_wrapped_pixel_size(font, text, room)
                                            : fitted_pixel_size(font, text, room.width()));
    }
    if (widget->font() != font) {
        widget->setFont(font);
    }
    const QString style = QStringLiteral("color: %1; background-color: %2;")
                              .arg(to_qcolor(control.fore, widget).name(), to_qcolor(control.back, widget).name()) +
                          (qobject_cast<QPushButton*>(widget) != nullptr
                               ? QStringLiteral(" border: 2px outset #808080; border-radius: 4px;")
                               : QString());
    if (widget->styleSheet() != style) {
        widget->setStyleSheet(style);
    }
    const QRect geometry(scale.px(control.at.left + scale.x_offset), scale.px(control.at.top),
                         scale.px(control.at.width), scale.px(control.at.height));
    if (widget->geometry() != geometry) {
        widget->setGeometry(geometry);
    }
    if (widget->isVisibleTo(widget->parentWidget()) != control.visible) {
        widget->setVisible(control.visible);
    }
}
