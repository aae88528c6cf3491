#include "dialogs/YesNoDialog.h"

namespace {
Control big_button(const char* text, int left) {
    Control c;
    c.kind = ControlKind::Button;
    c.text = text;
    c.at = {left, 2640, 1695, 1695};
    c.pt = 18;
    c.align = Alignment::Center;
    c.fore = colors::button_text;
    c.back = Color::rgb(240, 240, 240);
    return c;
}
} // namespace

YesNoDialog::YesNoDialog() {
    UF2L.text = "Label1";
    UF2L.at = {240, 240, 6015, 2055};
    UF2L.pt = 18;
    UF2L.back = colors::salmon;
    cmd_Y = big_button("はい", 720);
    cmd_N = big_button("いいえ", 3600);
}

void YesNoDialog::cmd_Y_click() {
    uf2_ans = yes;
    visible = false;
}

void YesNoDialog::cmd_N_click() {
    uf2_ans = no;
    visible = false;
}

void YesNoDialog::close_box() {
    visible = false;
}

void YesNoDialog::time_out() {
    cmd_N_click();
}
