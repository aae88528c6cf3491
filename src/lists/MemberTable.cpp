#include "lists/MemberTable.h"

void MemberTable::clear_member_list() {
    for (int i = 0; i < cleared_by_reload; ++i) {
        slot(i) = Slot{};
    }
}

int MemberTable::end_index() const {
    int i = 0;
    while (i < slot_count && !is_end(i)) {
        ++i;
    }
    return i;
}

std::optional<int> MemberTable::find_idm(std::string_view idm) const {
    for (int i = 0; i < slot_count && !is_end(i); ++i) {
        if (slot(i).idm == idm) {
            return i;
        }
    }
    return std::nullopt;
}
