#pragma once

#include "core/DateTime.h"
#include "core/Paths.h"
#include "core/Result.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The sample store that the demo and the pictures of the windows run on: store T01 "第一店" of the
// company Corvale, stand-alone, with as many members as the board has rows.
namespace sample {

struct Member {
    std::string code;
    std::string name;
    std::string idm;
};

// One member planned for the day: the member's place in members(), planned start and leave.
struct PlanEntry {
    std::size_t member;
    std::string start;
    std::string leave;
};

inline constexpr const char* store_code = "T01";

// 26 members, codes 101 upwards, each with a card of its own.
[[nodiscard]] const std::vector<Member>& members();
// The IDm of a card that no sample member holds.
[[nodiscard]] std::string unknown_idm();

// The settings file of the store, with its two daily transfer times.
[[nodiscard]] Status write_settings(const Paths& paths);
// The member list with the first count members (at most all) under the date line's text.
[[nodiscard]] Status write_members(const std::filesystem::path& file, std::size_t count, std::string_view date_text);
// The store's shift plan (S01_SHIFT.csv) with the entries planned for the day of today.
[[nodiscard]] Status write_shift_plan(const Paths& paths, const DateTime& today, const std::vector<PlanEntry>& plan);

} // namespace sample
