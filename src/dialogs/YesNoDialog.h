#pragma once

#include "dialogs/Control.h"

// UF_2: the large-print yes/no question. It exists once for the run; its buttons hide it. The answer is
// left in uf2_ans: 6 after "はい", 7 after "いいえ", and the 0 the caller set when it was closed otherwise.
class YesNoDialog {
public:
    YesNoDialog();

    static constexpr int yes = 6;
    static constexpr int no = 7;
    static constexpr const char* title = "いいえ";
    static constexpr int design_width = 6720;
    static constexpr int design_height = 4875;
    // A question opened by a card touch closes itself as "いいえ" after this long without a press.
    static constexpr int timeout_seconds = 60;

    Control UF2L, cmd_Y, cmd_N;
    int uf2_ans = 0;
    bool visible = false;

    void cmd_Y_click();
    void cmd_N_click();
    void close_box(); // the title-bar close box: hidden, uf2_ans unchanged
    void time_out();  // nobody answered within the time limit: as "いいえ"
};
