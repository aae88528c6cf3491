#include "gui/ControlView.h"

#include <QAbstractButton>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QWidget>

#include <algorithm>

QString window_font_family() {
    return QStringLiteral("ＭＳ Ｐゴシック");
}

void register_font_substitutions() {
    QFont::insertSubstitutions(window_font_family(),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                                QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic")});
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
    if (widest <= width) {
        return font.pixelSize();
    }
    int size = std::max(1, font.pixelSize() * width / widest);
    for (font.setPixelSize(size); size > 1 && widest_line(font, text) > width; font.setPixelSize(--size)) {
    }
    return size;
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
    if (const auto* label = qobject_cast<QLabel*>(widget); label != nullptr && !label->wordWrap()) {
        font.setPixelSize(fitted_pixel_size(font, text, scale.px(control.at.width)));
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
