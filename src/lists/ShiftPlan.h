#pragma once

#include "board/BoardState.h"

#include <filesystem>
#include <string>
#include <string_view>

// "S" + the last two characters of the store code + "_SHIFT.csv": S04_SHIFT.csv for T04, S7_SHIFT.csv for 7.
[[nodiscard]] std::string shift_file_name(std::string_view store_code);

// Writes the plan lines of the day key (yymmdd) into board rows 0 upwards, in file order, and a title line's
// text into title (lbl_shift shows it). A line that cannot be taken stops the loading there with a
// RuntimeError; what was written before stays.
void load_shift_plan(BoardState& board, std::string& title, const std::filesystem::path& plan,
                     std::string_view day_key);
