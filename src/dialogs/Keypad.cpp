#include "dialogs/Keypad.h"

#include "lists/MemberTable.h"

namespace {

constexpr const char* eight_wide_spaces = "　　　　　　　　";

// The caption cut just after its first "を"; empty when it holds none.
std::string cut_after_wo(const std::string& caption) {
    const std::string wo = "を";
    const auto at = caption.find(wo);
    return at == std::string::npos ? std::string{} : caption.substr(0, at + wo.size());
}

std::string appended_form(const std::string& caption, const std::string& text) {
    return caption + "\n" + eight_wide_spaces + text;
}

std::string rebuilt_form(const std::string& caption, const std::string& text) {
    return cut_after_wo(caption) + " \n" + eight_wide_spaces + text;
}

Control key(const char* text, int left, int top, int width, int height, double pt) {
    Control c;
    c.kind = ControlKind::Button;
    c.text = text;
    c.at = {left, top, width, height};
    c.pt = pt;
    c.bold = false;
    c.align = Alignment::Center;
    c.fore = colors::button_text;
    c.back = Color::rgb(240, 240, 240);
    return c;
}

} // namespace

Keypad::Keypad(MemberTable& members) : members_(members) {
    UF10_lbl.text = initial_prompt;
    UF10_lbl.at = {360, 240, 5415, 1095};
    UF10_lbl.pt = 24;
    UF10_lbl.back = colors::white;
    static constexpr std::array<const char*, 10> faces{"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
    static constexpr std::array<int, 3> lefts{480, 2400, 4320};
    for (int d = 1; d <= 9; ++d) {
        const int row = 2 - (d - 1) / 3; // 7-8-9 on top
        UF10_digit[static_cast<std::size_t>(d)] =
            key(faces[static_cast<std::size_t>(d)], lefts[static_cast<std::size_t>((d - 1) % 3)], 1440 + 1440 * row,
                1335, 1095, 26.25);
    }
    UF10_digit[0] = key(faces[0], 2400, 5760, 1335, 1095, 26.25);
    UF10_C = key("クリア", 480, 5760, 1335, 1095, 21.75);
    UF10_sell = key("登録", 1800, 7200, 2415, 1335, 26.25);
    UF10_cancel = key("取消", 4440, 7320, 1335, 975, 26.25);
}

void Keypad::open_for(const std::string& idm) {
    // Each member starts from the prompt: the previous member's code is neither shown nor registered.
    UF10_lbl.text = initial_prompt;
    tenkey_str = idm;
    tenkey_stat = 1;
    tenkey_code = 0;
    visible = true;
}

void Keypad::digit_click(int digit) {
    type_digit(digit);
}

void Keypad::clear_click() {
    UF10_lbl.text = cleared_prompt;
    tenkey_code = 0;
    tenkey_stat = 1;
}

void Keypad::cancel_click() {
    tenkey_code = 0;
    tenkey_stat = 0;
    visible = false;
}

void Keypad::sell_click() {
    register_typed_code();
    visible = false;
}

void Keypad::close_box() {
    cancel_click();
}

void Keypad::time_out() {
    cancel_click();
}

void Keypad::type_digit(int d) {
    if (tenkey_stat == 1) {
        UF10_lbl.text = appended_form(UF10_lbl.text, std::to_string(d));
        tenkey_code = d;
        if (tenkey_code < 1) { // a leading zero is refused
            UF10_lbl.text = cut_after_wo(UF10_lbl.text) + " ";
            tenkey_code = 0;
            tenkey_stat = 1;
        } else {
            tenkey_stat = 2;
        }
    } else if (tenkey_stat == 2) {
        if (tenkey_code < 1000) {
            tenkey_code = tenkey_code * 10 + d;
        }
        UF10_lbl.text = rebuilt_form(UF10_lbl.text, std::to_string(tenkey_code));
    }
}

void Keypad::register_typed_code() {
    const std::string code = std::to_string(tenkey_code);
    std::string name;
    int i = 0;
    for (; i < MemberTable::slot_count && !members_.is_end(i); ++i) {
        if (*members_.slot(i).code == code) {
            name = members_.slot(i).name;
        }
    }
    if (name.empty()) {
        name = "<" + code + ">";
    }
    // Code 0 is the end marker itself: registering it would not add an entry.
    if (tenkey_code != 0 && i < MemberTable::slot_count) {
        members_.slot(i) = MemberTable::Slot{code, name, tenkey_str};
        if (i + 1 < MemberTable::slot_count) {
            members_.slot(i + 1) = MemberTable::Slot{}; // the table must end right after the new entry
        }
    }
    tenkey_str = name;
}
