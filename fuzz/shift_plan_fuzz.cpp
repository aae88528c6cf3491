// The shift plan S01_SHIFT.csv for the day 261208: any bytes loaded onto a board whose cells hold a mark no
// file can put there (a line end), so that every cell the loader wrote can be told from one it left alone.
#include "FuzzRoot.h"
#include "core/Cp932.h"
#include "core/ErrorNumber.h"
#include "core/TextFile.h"
#include "lists/ShiftPlan.h"
#include "view/BoardView.h"
#include "view/FmMain.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr const char* day_key = "261208";
constexpr const char* untouched = "\n";

const FuzzRoot& root() {
    static const FuzzRoot r;
    return r;
}

std::vector<std::string> fields_of(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const auto comma = line.find(',', start);
        fields.push_back(line.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) {
            return fields;
        }
        start = comma + 1;
    }
}

// The plan lines of the day, in file order.
std::vector<std::vector<std::string>> day_lines(std::string_view bytes) {
    std::vector<std::vector<std::string>> out;
    for (const auto& line : textfile::split_lines(cp932::to_utf8(bytes))) {
        if (!line.empty() && line.substr(0, line.find(',')) == day_key) {
            out.push_back(fields_of(line));
        }
    }
    return out;
}

// The board and the title with every planned field marked, and the window to show them in.
struct Marked {
    Marked() {
        for (auto& row : board.rows) {
            row.planned_start = row.planned_leave = row.name = untouched;
        }
    }
    BoardState board;
    std::string title = untouched;
    FmMain form;
};

bool written(const Control& cell) {
    return cell.text != untouched;
}

// Rows are written from row 0 without gaps; inside a row field 4, field 5 and field 2 are written in that
// order, each the field of the day's plan line of that row.
void check_rows(const FmMain& form, const std::vector<std::vector<std::string>>& lines, bool completed) {
    std::size_t rows = 0;
    while (rows < form.board.size() && written(form.board[rows].ST)) {
        ++rows;
    }
    for (std::size_t r = rows; r < form.board.size(); ++r) {
        const auto& row = form.board[r];
        fuzz_check(!written(row.ST) && !written(row.KT) && !written(row.Cast), "rows are filled without gaps");
    }
    fuzz_check(rows <= lines.size(), "every filled row has a plan line of the day");
    if (completed) {
        fuzz_check(rows == lines.size(), "a completed load fills a row for every plan line of the day");
    }
    for (std::size_t r = 0; r < rows; ++r) {
        const auto& row = form.board[r];
        const auto& f = lines[r];
        fuzz_check(row.ST.text == f.at(3), "the planned start is field 4");
        fuzz_check(!written(row.KT) || row.KT.text == f.at(4), "the planned leave is field 5");
        fuzz_check(written(row.KT) || !written(row.Cast), "the name is written after the planned leave");
        if (written(row.Cast)) {
            fuzz_check(row.Cast.text == f.at(1), "the name is field 2");
            fuzz_check(row.Cast.pt == (utf8_length(row.Cast.text) > 6 ? 18 : 20), "the name's size fits its length");
        }
        fuzz_check(completed || r + 1 < rows || written(row.Cast) || f.size() < 5, "a short line stops the load");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    root().write("zerbanto/S01_SHIFT.csv", bytes);
    Marked marked;
    FmMain& form = marked.form;
    bool completed = true;
    try {
        load_shift_plan(marked.board, marked.title, root().zerbanto() / "S01_SHIFT.csv", day_key);
    } catch (const RuntimeError& e) {
        fuzz_check(e.number() == ErrorNumber::SubscriptOutOfRange, "a line the loader cannot take is out of range");
        completed = false;
    }
    show_board(marked.board, form);
    fuzz_check(marked.title == untouched || marked.title.find_first_of(",\r\n") == std::string::npos,
               "the title is one field");
    check_rows(form, day_lines(bytes), completed);
    return 0;
}
