#include "app/LoadSequence.h"

#include "app/BoardRestore.h"
#include "app/MemberListLoad.h"
#include "app/RecorderState.h"
#include "app/SettingsLoad.h"
#include "app/ShiftPlanLoad.h"

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

void start_up(RecorderState& s) {
    step("settings", [&] { load_settings(s); });
    step("member list", [&] { load_member_list_at_start(s); });
    s.laid_out = true; // the window's first look (WindowModel)
    step("board", [&] { clear_board_and_clock(s); });
    step("shift plan", [&] { load_todays_shift_plan(s); });
    step("day restore", [&] { return restore_board(s); });
    choose_mode(s, StampMode::ShiftIn);
    step("log", [&]() -> Status { return s.log.is_open() ? Status(Done{}) : open_log(s); });
}
