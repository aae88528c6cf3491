#include "lists/ShiftPlan.h"

#include "board/NameFont.h"
#include "core/CommaFields.h"
#include "core/Cp932.h"
#include "core/ErrorNumber.h"
#include "core/TextFile.h"
#include "core/TimeText.h"
#include "lists/TitleLine.h"

#include <vector>

namespace fs = std::filesystem;

namespace {

// The fields of a line split at every comma; an empty line has none.
std::vector<std::string_view> fields_of(std::string_view line) {
    return line.empty() ? std::vector<std::string_view>{} : split_commas(line);
}

// Field n (from 1); a line too short for it stops the loading.
std::string field(const std::vector<std::string_view>& fields, std::size_t n) {
    if (n > fields.size()) {
        throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
    }
    return std::string(fields[n - 1]);
}

void take_plan_row(BoardState& board, const std::vector<std::string_view>& fields, std::size_t& row) {
    if (row >= board.rows.size()) {
        throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
    }
    BoardEntry& r = board.rows[row];
    r.planned_start = field(fields, 4);
    r.planned_leave = field(fields, 5);
    r.name = field(fields, 2);
    r.name_pt = name_fonts::board.pt_for(r.name);
    ++row;
}

} // namespace

std::string shift_file_name(std::string_view store_code) {
    return "S" + std::string(utf8_right(store_code, 2)) + "_SHIFT.csv";
}

void load_shift_plan(BoardState& board, std::string& title, const fs::path& plan, std::string_view day_key) {
    // A failure leaves the rows taken before it.
    textfile::LineReader reader;
    if (auto st = reader.open(plan); !st) {
        throw RuntimeError(st.error());
    }
    std::size_t row = 0;
    std::string line;
    while (reader.next(line)) {
        const auto fields = fields_of(line);
        const std::string first = field(fields, 1);
        if (first == title_line_code) {
            title = field(fields, 2);
        } else if (first == day_key) {
            take_plan_row(board, fields, row);
        }
    }
}
