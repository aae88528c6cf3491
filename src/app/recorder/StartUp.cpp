#include "app/recorder/StartUp.h"

#include <cstdio>
#include <exception>
#include <type_traits>

namespace {

// Standard error only: the simulator's standard output carries its events.
void report_skipped(const char* step, const char* why) {
    std::fprintf(stderr, "timerecorder: start-up step \"%s\" skipped: %s\n", step, why);
}

// A step of the load sequence: one that fails, by its returned status or a thrown failure, is skipped.
template <class F> void step(const char* name, F&& f) {
    try {
        if constexpr (std::is_void_v<decltype(f())>) {
            f();
        } else if (const Status st = f(); !st) {
            report_skipped(name, ("error " + std::to_string(number_of(st.error()))).c_str());
        }
    } catch (const std::exception& e) {
        report_skipped(name, e.what());
    }
}

} // namespace

void start_up(StoreLists& lists, Panel& panel, CardTouches& card) {
    step("settings", [&] { lists.load_settings(); });
    step("member list", [&] { lists.load_member_list(); });
    panel.lay_out(); // the window's first look
    step("board", [&] { card.clear_day(); });
    step("shift plan", [&] { lists.load_todays_shift_plan(card.board()); });
    step("day restore", [&] { return card.restore_day(); });
    panel.choose_mode(StampMode::ShiftIn);
    step("log", [&]() -> Status { return card.log_open() ? Status(Done{}) : card.open_log(); });
}
