#include "sim/StateJson.h"

#include "app/recorder/Recorder.h"
#include "core/TimeText.h"
#include "view/WindowModel.h"

#include <cstdio>

namespace {

std::string clock_text(const DateTime& t) {
    std::array<char, 32> buf{};
    std::snprintf(buf.data(), buf.size(), "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return buf.data();
}

nlohmann::ordered_json label_json(const Control& c) {
    return {{"text", c.text}, {"fore", c.fore.name()}, {"back", c.back.name()}, {"pt", c.pt}, {"visible", c.visible}};
}

nlohmann::ordered_json cell_json(const Control& c) {
    return {{"text", c.text}, {"back", c.back.name()}, {"pt", c.pt}};
}

} // namespace

nlohmann::ordered_json state_event(const Recorder& rec) {
    nlohmann::ordered_json e;
    e["event"] = "state";
    e["clock"] = clock_text(rec.now());
    const FmMain form = window_of(rec);
    e["Timer1"] = form.Timer1;
    e["inout_mode"] = mode_number(rec.panel().mode());
    // The shop's array of transfer times has a third slot that nothing fills.
    const auto& times = rec.lists().store().transfer_times;
    e["tensou_time"] = {times[0], times[1], ""};
    auto members = nlohmann::ordered_json::array();
    for (int i = 0; i < MemberTable::slot_count && !rec.lists().members().is_end(i); ++i) {
        const auto& s = rec.lists().members().slot(i);
        members.push_back({*s.code, s.name, s.idm});
    }
    e["members"] = members;
    nlohmann::ordered_json labels = nlohmann::ordered_json::object();
    for (const auto& [name, c] : form.named_controls()) {
        labels[name] = label_json(*c);
    }
    e["labels"] = labels;
    auto board = nlohmann::ordered_json::array();
    for (const auto& row : form.board) {
        nlohmann::ordered_json r = nlohmann::ordered_json::object();
        for (const auto& [col, c] : cells_of(row)) {
            r[col] = cell_json(*c);
        }
        board.push_back(r);
    }
    e["board"] = board;
    return e;
}
