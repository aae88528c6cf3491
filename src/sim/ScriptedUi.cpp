#include "sim/ScriptedUi.h"

#include "dialogs/Keypad.h"
#include "dialogs/StoreSetup.h"
#include "dialogs/YesNoDialog.h"

#include <algorithm>
#include <array>

namespace {

const char* icon_name(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return "information";
    case MessageIcon::Exclamation:
        return "exclamation";
    case MessageIcon::Critical:
        return "critical";
    case MessageIcon::None:
        break;
    }
    return "none";
}

constexpr std::array<const char*, 4> keypad_ends{"登録", "取消", "close", "timeout"};

bool is_end_key(const std::string& key) {
    return std::find(keypad_ends.begin(), keypad_ends.end(), key) != keypad_ends.end();
}

bool is_digit_key(const std::string& key) {
    return key.size() == 1 && key[0] >= '0' && key[0] <= '9';
}

} // namespace

std::string ScriptedUi::take_answer(const char* what) {
    if (answers_.empty()) {
        throw ScriptError{std::string("応答が用意されていません: ") + what};
    }
    std::string a = answers_.front();
    answers_.pop_front();
    return a;
}

MessageAnswer ScriptedUi::message(MessageIcon icon, MessageButtons buttons, std::string_view text) {
    MessageAnswer answer = MessageAnswer::Ok;
    if (buttons == MessageButtons::YesNo) {
        const std::string a = take_answer("message box");
        if (a != "yes" && a != "no") {
            throw ScriptError{"メッセージボックスへの応答は yes か no です: " + a};
        }
        answer = a == "yes" ? MessageAnswer::Yes : MessageAnswer::No;
    }
    events_.write({{"event", "message"},
                   {"icon", icon_name(icon)},
                   {"buttons", buttons == MessageButtons::Ok ? "ok" : "yesno"},
                   {"text", std::string(text)},
                   {"answer", answer == MessageAnswer::Ok    ? "ok"
                              : answer == MessageAnswer::Yes ? "yes"
                                                             : "no"}});
    return answer;
}

void ScriptedUi::show_modal(YesNoDialog& dialog) {
    dialog.visible = true;
    const std::string a = take_answer("UF_2");
    if (a == "yes") {
        dialog.cmd_Y_click();
    } else if (a == "no") {
        dialog.cmd_N_click();
    } else if (a == "close") {
        dialog.close_box();
    } else {
        clock_.advance_millis(YesNoDialog::timeout_seconds * 1000LL);
        dialog.time_out();
    }
    events_.write({{"event", "dialog"}, {"name", "UF_2"}, {"text", dialog.UF2L.text}, {"answer", a}});
}

void ScriptedUi::press(Keypad& keypad, const std::string& key) {
    if (is_digit_key(key)) {
        keypad.digit_click(key[0] - '0');
    } else if (key == "クリア") {
        keypad.clear_click();
    } else if (key == "登録") {
        keypad.sell_click();
    } else if (key == "取消") {
        keypad.cancel_click();
    } else if (key == "close") {
        keypad.close_box();
    } else {
        clock_.advance_millis(Keypad::timeout_seconds * 1000LL);
        keypad.time_out();
    }
}

void ScriptedUi::show_modal(Keypad& keypad) {
    if (keypads_.empty()) {
        throw ScriptError{"テンキーの操作が用意されていません: UF_10key"};
    }
    const std::vector<std::string> keys = keypads_.front();
    keypads_.pop_front();
    keypad.visible = true;
    for (const auto& key : keys) {
        press(keypad, key);
        if (!keypad.visible) {
            break;
        }
    }
    events_.write({{"event", "dialog"}, {"name", "UF_10key"}, {"keys", keys}, {"label", keypad.UF10_lbl.text}});
}

void ScriptedUi::show_modal(StoreSetup& setup) {
    if (setups_.empty()) {
        throw ScriptError{"店舗設定の操作が用意されていません: UF_Initial"};
    }
    const std::optional<std::string> text = setups_.front();
    setups_.pop_front();
    if (text) {
        setup.UF_mise.text = *text;
        setup.set_click();
    } else {
        setup.close_box();
    }
    nlohmann::ordered_json e{{"event", "dialog"}, {"name", "UF_Initial"}};
    e["text"] = text ? nlohmann::ordered_json(*text) : nlohmann::ordered_json(nullptr);
    events_.write(e);
}

bool ScriptedUi::valid_keypad_use(const std::vector<std::string>& keys) {
    if (keys.empty() || !is_end_key(keys.back())) {
        return false;
    }
    return std::all_of(keys.begin(), keys.end(),
                       [](const std::string& k) { return is_digit_key(k) || k == "クリア" || is_end_key(k); });
}
