#include "dialogs/StoreSetup.h"

#include "core/TextFile.h"

#include <array>
#include <utility>

namespace {
struct Store {
    const char* name;
    const char* code;
};
// The first six are the list's entries; the training centre is accepted when typed.
constexpr std::array<Store, 7> stores{{{"本部", "T00"},
                                       {"第一店", "T01"},
                                       {"第二店", "T02"},
                                       {"第四店", "T04"},
                                       {"第六店", "T06"},
                                       {"第八店", "T08"},
                                       {"研修センター", "T99"}}};
} // namespace

StoreSetup::StoreSetup(std::filesystem::path settings_file) : settings_file_(std::move(settings_file)) {
    UF_mise.at = {480, 600, 3975, 450};
    UF_mise.pt = 20.25;
    UF_mise.back = colors::white;
    UF_SetMise.kind = ControlKind::Button;
    UF_SetMise.text = "設定";
    UF_SetMise.at = {2280, 1560, 2175, 975};
    UF_SetMise.pt = 20.25;
    UF_SetMise.align = Alignment::Center;
    UF_SetMise.fore = colors::button_text;
    UF_SetMise.back = Color::rgb(240, 240, 240);
}

void StoreSetup::load() {
    list.clear();
    for (std::size_t i = 0; i < 6; ++i) {
        list.emplace_back(stores[i].name);
    }
    UF_mise.text = "第一店";
    visible = true;
}

std::string StoreSetup::store_code(std::string_view name) {
    for (const auto& s : stores) {
        if (name == s.name) {
            return s.code;
        }
    }
    return {};
}

std::vector<std::string> StoreSetup::settings_lines(std::string_view name) {
    return {"会社名= Corvale", "店舗CD = " + store_code(name), "店舗名 = " + std::string(name), "F転送= 12:15",
            "F転送= 01:30"};
}

void StoreSetup::set_click() {
    last_write = textfile::write_lines_atomic(settings_file_, settings_lines(UF_mise.text));
    visible = false;
}

void StoreSetup::close_box() {
    visible = false;
}
