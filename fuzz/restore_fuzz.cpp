// The attendance log as the day restore reads it back: any bytes, followed by two lines the recorder
// itself would have written, one of the evening before the business day and one of the business day.
// Whatever the bytes hold, the later lines are still replayed as they stand.
#include "FuzzRoot.h"
#include "board/Board.h"
#include "board/DayRestore.h"
#include "board/ElapsedTime.h"
#include "core/Cp932.h"
#include "core/TextFile.h"
#include "stamping/LogLine.h"
#include "view/BoardView.h"
#include "view/FmMain.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

namespace {

const DateTime now{2026, 12, 8, 12, 0, 0};
constexpr const char* before_name = "前日 検査";
constexpr const char* today_name = "当日 検査";

const FuzzRoot& root() {
    static const FuzzRoot r;
    return r;
}

// The recorder's own lines: 4:59 (the business day before) and 23:59 of the business day, both shift-ins.
std::string own_lines() {
    const DateTime before{2026, 12, 8, 4, 59, 0};
    const DateTime today{2026, 12, 8, 23, 59, 0};
    return "\r\n" + cp932::from_utf8(log_line("T01", before, "901", before_name, 1, "", "", "01A0")) + "\r\n" +
           cp932::from_utf8(log_line("T01", today, "902", today_name, 1, "9:00", "", "01A1")) + "\r\n";
}

std::string fourth_field(const std::string& line) {
    std::size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        start = line.find(',', start);
        if (start == std::string::npos) {
            return {};
        }
        ++start;
    }
    return line.substr(start, line.find(',', start) - start);
}

// The names the given bytes can put on the board: the 4th field of each line.
std::set<std::string> names_in(std::string_view bytes, std::size_t& lines) {
    std::set<std::string> names;
    const auto all = textfile::split_lines(cp932::to_utf8(bytes));
    lines = all.size();
    for (const auto& line : all) {
        names.insert(fourth_field(line));
    }
    return names;
}

void check_board(const FmMain& form, const std::set<std::string>& fuzzed_names) {
    std::set<std::string> seen;
    bool full = true;
    bool today_found = false;
    for (const auto& row : form.board) {
        const std::string& name = row.Cast.text;
        if (name.empty()) {
            full = false;
            continue;
        }
        fuzz_check(seen.insert(name).second, "a member has one row");
        fuzz_check(name == today_name || fuzzed_names.count(name) == 1, "every name on the board was logged");
        fuzz_check(name != before_name || fuzzed_names.count(name) == 1, "a stamp of the day before is not replayed");
        if (name == today_name) {
            today_found = true;
            fuzz_check(row.Cast.back == colors::on_shift && row.iT.text == "23:59", "the last shift-in counts");
        }
    }
    fuzz_check(today_found || full, "the day's own stamp after any bytes is replayed");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    root().write("zerbanto/KLOG_T01.csv", std::string(bytes) + own_lines());
    std::size_t lines = 0;
    const auto fuzzed_names = names_in(bytes, lines);

    BoardState board;
    const int replayed = replay_log(board, root().zerbanto() / "KLOG_T01.csv", business_day_start(now));
    fuzz_check(replayed >= 1 && static_cast<std::size_t>(replayed) <= lines + 1, "at most one stamp a line");
    FmMain form;
    show_board(board, form);
    check_board(form, fuzzed_names);

    const FmMain replayed_board = form;
    update_elapsed(board, now.seconds_of_day());
    show_board(board, form);
    for (std::size_t r = 0; r < form.board.size(); ++r) {
        fuzz_check(form.board[r].Cast.text == replayed_board.board[r].Cast.text, "the refresh keeps the names");
    }
    return 0;
}
