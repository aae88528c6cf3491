#include "dialogs/Keypad.h"
#include "dialogs/YesNoDialog.h"
#include "lists/MemberTable.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const std::string pad = "　　　　　　　　"; // eight full-width spaces before the digits

struct KeySequence {
    const char* name;
    std::vector<std::string> keys;
    int code;
    int stat;
    std::string label; // the caption after the keys, starting from the initial prompt
};

void PrintTo(const KeySequence& k, std::ostream* os) {
    *os << k.name;
}

void press(Keypad& k, const std::string& key) {
    if (key == "C") {
        k.clear_click();
    } else if (key == "取消") {
        k.cancel_click();
    } else {
        k.digit_click(std::stoi(key));
    }
}

class KeypadKeys : public ::testing::TestWithParam<KeySequence> {};

TEST_P(KeypadKeys, CodeStateAndLabel) {
    auto members = std::make_unique<MemberTable>();
    Keypad k(*members);
    k.open_for("IDM");
    for (const auto& key : GetParam().keys) {
        press(k, key);
    }
    EXPECT_EQ(k.tenkey_code, GetParam().code);
    EXPECT_EQ(k.tenkey_stat, GetParam().stat);
    EXPECT_EQ(k.UF10_lbl.text, GetParam().label);
}

const std::string prompt = "キャストコード(3-4桁)　? ";

INSTANTIATE_TEST_SUITE_P(
    Sequences, KeypadKeys,
    ::testing::Values(KeySequence{"FirstDigitAppendsBelowThePrompt", {"7"}, 7, 2, prompt + "\n" + pad + "7"},
                      KeySequence{"SecondDigitRebuildsWithABlankFirstLine", {"7", "8"}, 78, 2, " \n" + pad + "78"},
                      KeySequence{"LeadingZeroIsRefused", {"0"}, 0, 1, " "},
                      KeySequence{"DigitsAfterARefusedZero", {"0", "5", "1", "2"}, 512, 2, " \n" + pad + "512"},
                      KeySequence{"FifthDigitIsIgnored", {"1", "2", "3", "4", "5"}, 1234, 2, " \n" + pad + "1234"},
                      KeySequence{"OneThousandTakesNoFifth", {"1", "0", "0", "0", "5"}, 1000, 2, " \n" + pad + "1000"},
                      KeySequence{"ZeroInsideACode", {"1", "0", "0"}, 100, 2, " \n" + pad + "100"},
                      KeySequence{"ClearStartsANewCode", {"1", "2", "C"}, 0, 1, "キャストコード(3-4桁) ?"},
                      KeySequence{"DigitAfterClear", {"1", "C", "9"}, 9, 2, "キャストコード(3-4桁) ?\n" + pad + "9"},
                      KeySequence{"DigitsAfterCancelAreIgnored", {"3", "取消", "4"}, 0, 0, prompt + "\n" + pad + "3"}),
    [](const ::testing::TestParamInfo<KeySequence>& p) { return std::string(p.param.name); });

class KeypadRegistration : public ::testing::Test {
protected:
    void SetUp() override {
        members = std::make_unique<MemberTable>();
        members->slot(0) = {"123", "山田 花子", "A1"};
        members->slot(1) = {"77", "先の七七", "A2"};
        members->slot(2) = {"77", "後の七七", "A3"};
        members->slot(3) = {};
        members->slot(4) = {"999", "表の外", "A9"}; // beyond the end: never read
    }
    std::unique_ptr<MemberTable> members;
};

TEST_F(KeypadRegistration, KnownCodeTakesItsNameAndAddsTheCardAtTheEnd) {
    Keypad k(*members);
    k.open_for("NEWCARD");
    for (int d : {1, 2, 3}) {
        k.digit_click(d);
    }
    k.sell_click();
    EXPECT_FALSE(k.visible);
    EXPECT_EQ(k.tenkey_code, 123);
    EXPECT_EQ(k.tenkey_str, "山田 花子");
    EXPECT_EQ(members->slot(3).code, "123");
    EXPECT_EQ(members->slot(3).idm, "NEWCARD");
    EXPECT_EQ(members->end_index(), 4);
    EXPECT_EQ(members->find_idm("NEWCARD"), 3);
}

TEST_F(KeypadRegistration, LastMatchWinsAndAnUnknownCodeIsShownInAngleBrackets) {
    Keypad k(*members);
    k.open_for("C1");
    k.digit_click(7);
    k.digit_click(7);
    k.sell_click();
    EXPECT_EQ(k.tenkey_str, "後の七七");

    k.open_for("C2");
    for (int d : {9, 9, 9}) { // only beyond the old end: not a member
        k.digit_click(d);
    }
    k.sell_click();
    EXPECT_EQ(k.tenkey_str, "<999>");
    EXPECT_EQ(members->slot(4).name, "<999>");
    EXPECT_EQ(members->slot(4).idm, "C2");
    EXPECT_TRUE(members->is_end(5));
}

TEST_F(KeypadRegistration, OpeningShowsThePromptAndClearsTheCodeSoRegisterWithoutDigitsAddsNothing) {
    Keypad k(*members);
    k.open_for("C1");
    k.digit_click(5);
    k.sell_click();
    ASSERT_EQ(members->end_index(), 4);

    // The next member sees the prompt and no digits, and the first digit goes below the prompt.
    k.open_for("C2");
    EXPECT_EQ(k.tenkey_code, 0);
    EXPECT_EQ(k.UF10_lbl.text, prompt);
    k.sell_click();
    EXPECT_EQ(k.tenkey_code, 0);
    EXPECT_EQ(members->end_index(), 4);

    k.clear_click(); // the cleared prompt, left on display
    k.open_for("C3");
    k.digit_click(8);
    EXPECT_EQ(k.UF10_lbl.text, prompt + "\n" + pad + "8");
}

TEST_F(KeypadRegistration, CloseBoxAndTimeLimitActAsCancel) {
    for (auto leave : {&Keypad::close_box, &Keypad::time_out, &Keypad::cancel_click}) {
        Keypad k(*members);
        k.open_for("IDM");
        k.digit_click(4);
        (k.*leave)();
        EXPECT_FALSE(k.visible);
        EXPECT_EQ(k.tenkey_code, 0);
        EXPECT_EQ(k.tenkey_stat, 0);
        EXPECT_EQ(k.tenkey_str, "IDM");
    }
}

TEST(YesNoDialogTest, AnswersAndHiding) {
    YesNoDialog d;
    EXPECT_EQ(d.UF2L.text, "Label1");
    struct Case {
        void (YesNoDialog::*action)();
        int answer;
    };
    for (const Case c : {Case{&YesNoDialog::cmd_Y_click, 6}, Case{&YesNoDialog::cmd_N_click, 7},
                         Case{&YesNoDialog::close_box, 0}, Case{&YesNoDialog::time_out, 7}}) {
        d.uf2_ans = 0;
        d.visible = true;
        (d.*c.action)();
        EXPECT_FALSE(d.visible);
        EXPECT_EQ(d.uf2_ans, c.answer);
    }
}

} // namespace
