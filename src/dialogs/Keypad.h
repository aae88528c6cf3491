#pragma once

#include "dialogs/Control.h"

#include <array>
#include <string>

class MemberTable;

// UF_10key: the on-screen keypad on which a member types a cast code for an unregistered card. It exists
// once for the run and hides itself; each opening starts again from the prompt with no code. The tenkey_
// variables are its exchange with card stamping.
class Keypad {
public:
    explicit Keypad(MemberTable& members);

    static constexpr const char* title = "Form1";
    static constexpr int design_width = 6150;
    static constexpr int design_height = 8940;
    static constexpr const char* initial_prompt = "キャストコード(3-4桁)　? ";
    static constexpr const char* cleared_prompt = "キャストコード(3-4桁) ?";
    // A keypad opened by a card touch closes itself as "取消" after this long without a press.
    static constexpr int timeout_seconds = 60;

    Control UF10_lbl;
    std::array<Control, 10> UF10_digit; // UF10_0 to UF10_9
    Control UF10_C, UF10_sell, UF10_cancel;
    bool visible = false;

    int tenkey_stat = 0;    // 0 digits ignored, 1 the next digit starts a code, 2 digits are appended
    int tenkey_code = 0;    // 0 means no code
    std::string tenkey_str; // in: the card's IDm; out after "登録": the registered display name

    // Opening by card stamping: the IDm in, the prompt without digits, a fresh code, the first digit awaited.
    void open_for(const std::string& idm);

    void digit_click(int digit); // UF10_0 to UF10_9
    void clear_click();          // "クリア"
    void cancel_click();         // "取消"
    void sell_click();           // "登録"
    void close_box();            // the title-bar close box: as "取消"
    void time_out();             // no press within the time limit: as "取消"

private:
    // (Formerly push_num.) Adds the digit to the code being typed: a first digit 0 is refused, a fifth ignored.
    void type_digit(int digit);
    // (Formerly push_touroku.) The name of the typed code from the member table, or "<code>" when it has none;
    // the card is registered under code and name at the table's end. The name is left in tenkey_str.
    void register_typed_code();

    MemberTable& members_;
};
