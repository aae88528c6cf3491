#include "gui/QtUserInterface.h"

#include "dialogs/Keypad.h"
#include "dialogs/StoreSetup.h"
#include "dialogs/YesNoDialog.h"
#include "gui/ModelDialog.h"
#include "gui/TypingBlocker.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon box_icon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// The yes/no dialog's button, whose print and size the questions' buttons take.
const Control& question_button() {
    static const Control like = YesNoDialog().cmd_Y;
    return like;
}

// The print of the yes/no dialog's buttons, at the dialogs' scale.
QFont question_font(const Scale& scale) {
    const Control& like = question_button();
    QFont font(window_font_family());
    font.setBold(like.bold);
    font.setPixelSize(scale.px(like.pt * 20.0));
    return font;
}

// A button as large as the yes/no dialog's, with its caption as it stands (no "(&Y)" added).
QPushButton* finger_button(QMessageBox& box, const char* caption, QMessageBox::ButtonRole role, const Scale& scale) {
    const Control& like = question_button();
    auto* b = box.addButton(QString::fromUtf8(caption), role);
    b->setFont(question_font(scale));
    b->setFixedSize(scale.px(like.at.width), scale.px(like.at.height));
    return b;
}

} // namespace

MessageAnswer QtUserInterface::message(MessageIcon icon, MessageButtons buttons, std::string_view text) {
    QMessageBox box(parent_);
    box.setWindowTitle(QStringLiteral(" "));
    box.setText(to_qstring(std::string(text)));
    box.setIcon(box_icon(icon));
    const Scale scale = dialog_scale(parent_);
    box.setFont(question_font(scale));
    QPushButton* yes = nullptr;
    if (buttons == MessageButtons::YesNo) {
        yes = finger_button(box, "はい", QMessageBox::YesRole, scale);
        finger_button(box, "いいえ", QMessageBox::NoRole, scale);
    } else {
        finger_button(box, "OK", QMessageBox::AcceptRole, scale);
    }
    // Only a click answers; closing the box by its title bar is "いいえ" (or OK). Showing the box chooses a
    // default button, which the blocker takes away again.
    box.show();
    center_on_screen(box, parent_);
    const TypingBlocker blocker(box);
    box.exec();
    if (buttons == MessageButtons::YesNo) {
        return box.clickedButton() == yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    return MessageAnswer::Ok;
}

void QtUserInterface::show_modal(YesNoDialog& d) {
    ModelDialog dialog(to_qstring(YesNoDialog::title), YesNoDialog::design_width, YesNoDialog::design_height,
                       colors::salmon, parent_);
    dialog.setObjectName(QStringLiteral("UF_2"));
    dialog.add_label(d.UF2L)->setObjectName(QStringLiteral("UF2L"));
    dialog.add_button(d.cmd_Y, [&d] { d.cmd_Y_click(); })->setObjectName(QStringLiteral("cmd_Y"));
    dialog.add_button(d.cmd_N, [&d] { d.cmd_N_click(); })->setObjectName(QStringLiteral("cmd_N"));
    d.visible = true;
    dialog.run([&d] { return d.visible; }, [&d] { d.close_box(); }, YesNoDialog::timeout_seconds,
               [&d] { d.time_out(); });
}

void QtUserInterface::show_modal(Keypad& k) {
    ModelDialog dialog(to_qstring(Keypad::title), Keypad::design_width, Keypad::design_height, colors::dark_grey,
                       parent_);
    dialog.setObjectName(QStringLiteral("UF_10key"));
    dialog.add_label(k.UF10_lbl)->setObjectName(QStringLiteral("UF10_lbl"));
    for (int d = 0; d <= 9; ++d) {
        dialog.add_button(k.UF10_digit[static_cast<std::size_t>(d)], [&k, d] { k.digit_click(d); })
            ->setObjectName(QStringLiteral("UF10_%1").arg(d));
    }
    dialog.add_button(k.UF10_C, [&k] { k.clear_click(); })->setObjectName(QStringLiteral("UF10_C"));
    dialog.add_button(k.UF10_sell, [&k] { k.sell_click(); })->setObjectName(QStringLiteral("UF10_sell"));
    dialog.add_button(k.UF10_cancel, [&k] { k.cancel_click(); })->setObjectName(QStringLiteral("UF10_cancel"));
    k.visible = true;
    dialog.run([&k] { return k.visible; }, [&k] { k.close_box(); }, Keypad::timeout_seconds, [&k] { k.time_out(); });
}

void QtUserInterface::show_modal(StoreSetup& s) {
    ModelDialog dialog(to_qstring(StoreSetup::title), StoreSetup::design_width, StoreSetup::design_height,
                       Color::rgb(240, 240, 240), parent_);
    dialog.setObjectName(QStringLiteral("UF_Initial"));
    dialog.set_drop_typing(false); // a store name not in the list is typed
    auto* combo = new QComboBox(&dialog);
    combo->setObjectName(QStringLiteral("UF_mise"));
    combo->setEditable(true);
    for (const auto& entry : s.list) {
        combo->addItem(to_qstring(entry));
    }
    combo->setCurrentText(to_qstring(s.UF_mise.text));
    dialog.add_widget(combo, s.UF_mise);
    dialog
        .add_button(s.UF_SetMise,
                    [&s, combo] {
                        s.UF_mise.text = combo->currentText().toStdString();
                        s.set_click();
                    })
        ->setObjectName(QStringLiteral("UF_SetMise"));
    dialog.run([&s] { return s.visible; }, [&s] { s.close_box(); });
}

void QtUserInterface::process_events() {
    QCoreApplication::processEvents();
}
