#pragma once

#include "core/Result.h"
#include "dialogs/Control.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// UF_Initial: the store-setup dialog that writes a new settings file for the store chosen or typed.
class StoreSetup {
public:
    explicit StoreSetup(std::filesystem::path settings_file);

    static constexpr const char* title = "初期設定: 店舗を指定してください";
    static constexpr int design_width = 4995;
    static constexpr int design_height = 2790;

    Control UF_mise, UF_SetMise;
    std::vector<std::string> list; // the combo box's entries
    bool visible = false;
    Status last_write = Done{}; // the outcome of the last "設定"

    // Loading the dialog: the six stores in the list, "第一店" preselected.
    void load();
    void set_click(); // "設定": write the settings file, hide
    void close_box(); // hidden without writing

    // The store code of a store name; empty for a name that is not in the table.
    [[nodiscard]] static std::string store_code(std::string_view name);
    // The five lines of a new settings file for the store name.
    [[nodiscard]] static std::vector<std::string> settings_lines(std::string_view name);

private:
    std::filesystem::path settings_file_;
};
