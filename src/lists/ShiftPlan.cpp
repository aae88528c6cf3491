#include "lists/ShiftPlan.h"

#include "core/CommaFields.h"
#include "core/Cp932.h"
#include "core/ErrorNumber.h"
#include "core/FmMain.h"
#include "core/TextFile.h"
#include "core/TimeText.h"

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

void take_plan_row(FmMain& form, const std::vector<std::string_view>& fields, std::size_t& row) {
    if (row >= form.board.size()) {
        throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
    }
    BoardRow& r = form.board[row];
    r.ST.text = field(fields, 4);
    r.KT.text = field(fields, 5);
    r.Cast.text = field(fields, 2);
    r.Cast.pt = utf8_length(r.Cast.text) > 6 ? 18 : 20;
    ++row;
}

} // namespace

std::string shift_file_name(std::string_view store_code) {
    return "S" + std::string(utf8_right(store_code, 2)) + "_SHIFT.csv";
}

void load_shift_plan(FmMain& form, const fs::path& plan, std::string_view day_key) {
    textfile::LineReader reader;
    if (auto st = reader.open(plan); !st) {
        throw RuntimeError(st.error());
    }
    std::size_t row = 0;
    std::string line;
    while (reader.next(line)) {
        const auto fields = fields_of(line);
        const std::string first = field(fields, 1);
        if (first == "99999") {
            form.lbl_shift.text = field(fields, 2);
        } else if (first == day_key) {
            take_plan_row(form, fields, row);
        }
    }
}
