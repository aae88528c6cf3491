#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

// The member table: slots 0 to 10000 of cast code, display name and card IDm. Members stand in slots 0, 1,
// 2, ... without gaps; the first slot whose code is cleared ends the table. A cleared code is kept apart from
// every code a file can hold (even the text "0"), so no member line can end the table by accident.
class MemberTable {
public:
    static constexpr int slot_count = 10001;
    static constexpr int cleared_by_reload = 1001; // clear_member_list clears slots 0 to 1000

    struct Slot {
        std::optional<std::string> code; // nullopt: cleared, the end of the table
        std::string name;
        std::string idm;
    };

    // Clears slots 0 to 1000; slots beyond keep what they hold (the end marker stops every reader first).
    void clear_member_list();

    [[nodiscard]] const Slot& slot(int i) const { return slots_.at(static_cast<std::size_t>(i)); }
    Slot& slot(int i) { return slots_.at(static_cast<std::size_t>(i)); }
    [[nodiscard]] bool is_end(int i) const { return !slot(i).code.has_value(); }
    // The index of the slot that ends the table (10001 when every slot is used).
    [[nodiscard]] int end_index() const;
    // The first used slot whose IDm equals idm exactly, or nullopt.
    [[nodiscard]] std::optional<int> find_idm(std::string_view idm) const;

private:
    std::array<Slot, slot_count> slots_;
};
