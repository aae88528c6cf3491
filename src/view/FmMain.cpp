#include "view/FmMain.h"

namespace {

Control label(std::string text, Twips at, double pt, Color fore = colors::window_text) {
    Control c;
    c.text = std::move(text);
    c.at = at;
    c.pt = pt;
    c.fore = fore;
    return c;
}

Control button(std::string text, Twips at, double pt, Color back) {
    Control c = label(std::move(text), at, pt, colors::button_text);
    c.kind = ControlKind::Button;
    c.back = back;
    c.align = Alignment::Center;
    return c;
}

Control cell(std::string text, int left, int top, int width, int height, double pt, Alignment align,
             Color fore = colors::window_text) {
    Control c = label(std::move(text), {left, top, width, height}, pt, fore);
    c.align = align;
    return c;
}

BoardRow design_row(int i) {
    const int top = 1800 + 480 * i;
    BoardRow r;
    r.ST = cell("12:30", 4275, top, 825, 315, 14.25, Alignment::Center);
    r.Cast = cell("山田 花子", 5160, top, 2775, 495, 20, Alignment::Left);
    r.ET = cell("12:30", 7920, top, 825, 495, 14.25, Alignment::Center);
    r.RT = cell("12:30", 8760, top, 825, 495, 14.25, Alignment::Center, colors::blue);
    r.RT.visible = false;
    r.TT = cell("12:30", 10440, top, 825, 495, 14.25, Alignment::Center, colors::blue);
    r.iT = cell("12:30", 11400, top, 825, 495, 15.75, Alignment::Center);
    r.KT = cell("12:30", 12360, top, 825, 495, 15.75, Alignment::Center);
    return r;
}

Control header(std::string text, int left, int top, int width = 825) {
    return label(std::move(text), {left, top, width, 375}, 12, colors::teal);
}

} // namespace

FmMain::FmMain() {
    lbl_company = label("Corvale", {0, 240, 2415, 495}, 15.75, colors::teal);
    lbl_tenmei = label("本店", {2520, 240, 5535, 975}, 36);
    lbl_MiseID = label("T99", {1200, 840, 855, 255}, 12);
    lbl_disp_date = label("12月31日(月)", {-120, 1560, 4455, 735}, 36, colors::blue);
    lbl_Disp_time = label("23:53:00", {120, 2520, 4095, 1215}, 48);
    lbl_Read_Status = label("◎", {480, 4080, 2895, 975}, 48, colors::blue);
    lbl_Read_Name = label("山田 花子", {-120, 5280, 4455, 735}, 27.75);
    for (Control* c : {&lbl_disp_date, &lbl_Disp_time, &lbl_Read_Status, &lbl_Read_Name}) {
        c->align = Alignment::Center;
    }
    cmd_IN = button("シフト　イン", {120, 6360, 1935, 2535}, 24, colors::on_shift);
    cmd_OUT = button("シフト　アウト", {2160, 6360, 1935, 2535}, 24, colors::idle_button);
    Cmd_FromUSB = button("USBから", {120, 11400, 1815, 735}, 20.25, colors::salmon);
    Cmd_ToUSB = button("USBへ", {2280, 11400, 1815, 735}, 20.25, colors::salmon);
    lbl_last_time = label("23:53:00", {720, 11640, 2415, 255}, 12);
    lbl_last_Idm = label("4BBCB01B", {720, 11880, 2415, 255}, 12);
    lbl_last_io = label("1", {720, 12120, 2415, 255}, 12);
    cmd_Func = button("終了", {480, 12600, 2295, 975}, 24, colors::salmon);
    lbl_tenso_stat[0] = label("", {3000, 12600, 1215, 255}, 12);
    lbl_tenso_stat[1] = label("", {3000, 12960, 1215, 255}, 12);
    lbl_min_stat = label("min", {-120, 13080, 855, 255}, 12, colors::neutral);
    lbl_member_date = label("", {2640, 13320, 1815, 255}, 12);
    lbl_disp_yy = label("yy", {-240, 13560, 855, 255}, 12, colors::neutral);
    lbl_shift = label("", {600, 13680, 3495, 255}, 12);
    lbl_type = label("StandAlone", {600, 13920, 3495, 255}, 12);

    Label8 = header("予定", 4440, 1320);
    Label9 = header("名前", 6000, 1320, 1200);
    Label3 = header("連続", 8040, 1320);
    Label6 = header(".累計", 8835, 1320);
    Label6.visible = false;
    const std::array<const char*, 9> debug_texts{"lbl_ST", "lbl_ET", "lbl_RT", "lbl_TT",  "lbl_iT",
                                                 "lbl_KT", "work",   "iN時間", "帰宅予定"};
    const std::array<int, 9> debug_left{1080, 7920, 8760, 10440, 11400, 12360, 10560, 11400, 12360};
    for (std::size_t i = 0; i < lbl_debug.size(); ++i) {
        const int top = i < 6 ? 960 : (i == 6 ? 1320 : 1440);
        lbl_debug[i] = header(debug_texts[i], debug_left[i], top, i == 8 ? 1100 : 825);
    }
    lbl_debug[2].visible = false;
    for (int i = 0; i < board_rows; ++i) {
        board[static_cast<std::size_t>(i)] = design_row(i);
    }
}

std::vector<std::pair<std::string, Control*>> FmMain::named_controls() {
    return {{"lbl_company", &lbl_company},
            {"lbl_tenmei", &lbl_tenmei},
            {"lbl_MiseID", &lbl_MiseID},
            {"lbl_disp_date", &lbl_disp_date},
            {"lbl_Disp_time", &lbl_Disp_time},
            {"lbl_Read_Status", &lbl_Read_Status},
            {"lbl_Read_Name", &lbl_Read_Name},
            {"cmd_IN", &cmd_IN},
            {"cmd_OUT", &cmd_OUT},
            {"Cmd_FromUSB", &Cmd_FromUSB},
            {"Cmd_ToUSB", &Cmd_ToUSB},
            {"lbl_last_time", &lbl_last_time},
            {"lbl_last_Idm", &lbl_last_Idm},
            {"lbl_last_io", &lbl_last_io},
            {"cmd_Func", &cmd_Func},
            {"lbl_tenso_stat(0)", &lbl_tenso_stat[0]},
            {"lbl_tenso_stat(1)", &lbl_tenso_stat[1]},
            {"lbl_min_stat", &lbl_min_stat},
            {"lbl_member_date", &lbl_member_date},
            {"lbl_disp_yy", &lbl_disp_yy},
            {"lbl_shift", &lbl_shift},
            {"lbl_type", &lbl_type}};
}

std::vector<std::pair<std::string, const Control*>> FmMain::named_controls() const {
    std::vector<std::pair<std::string, const Control*>> out;
    for (auto& [name, c] : const_cast<FmMain*>(this)->named_controls()) {
        out.emplace_back(name, c);
    }
    return out;
}

std::vector<std::pair<std::string, const Control*>> FmMain::header_controls() const {
    std::vector<std::pair<std::string, const Control*>> out{
        {"Label8", &Label8}, {"Label9", &Label9}, {"Label3", &Label3}, {"Label6", &Label6}};
    for (std::size_t i = 0; i < lbl_debug.size(); ++i) {
        out.emplace_back("lbl_debug(" + std::to_string(i) + ")", &lbl_debug[i]);
    }
    return out;
}

std::array<std::pair<const char*, const Control*>, 7> cells_of(const BoardRow& row) {
    return {{{"ST", &row.ST},
             {"Cast", &row.Cast},
             {"ET", &row.ET},
             {"RT", &row.RT},
             {"TT", &row.TT},
             {"iT", &row.iT},
             {"KT", &row.KT}}};
}
