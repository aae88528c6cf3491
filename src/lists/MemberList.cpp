#include "lists/MemberList.h"

#include "core/CommaFields.h"
#include "core/TextFile.h"
#include "lists/TitleLine.h"

#include <string_view>
#include <vector>

namespace {

// A member line stores what it has: a line with one field stores only the code, one with two no IDm.
void store_member(MemberTable::Slot& slot, const std::vector<std::string_view>& fields) {
    slot.code = std::string(fields[0]);
    if (fields.size() > 1) {
        slot.name = fields[1];
    }
    if (fields.size() > 2) {
        slot.idm = fields[2];
    }
}

void clear_from(MemberTable& table, int first) {
    for (int i = first; i < MemberTable::slot_count; ++i) {
        table.slot(i) = MemberTable::Slot{};
    }
}

} // namespace

Status load_member_list(const std::filesystem::path& path, MemberTable& table, std::string& member_date) {
    table.clear_member_list();
    textfile::LineReader reader;
    if (auto st = reader.open(path); !st) {
        return st;
    }
    int n = 0;
    std::string line;
    while (reader.next(line)) {
        if (line.empty()) {
            continue; // an empty line would otherwise end the table for every reader
        }
        const auto fields = split_commas(line);
        if (fields[0] == title_line_code) {
            if (fields.size() > 1) {
                member_date = fields[1];
            }
        } else if (n < MemberTable::slot_count) {
            store_member(table.slot(n), fields);
            ++n;
        }
    }
    // clear_member_list reaches slot 1000 only; members of an earlier, longer list must not reappear.
    clear_from(table, n);
    return Done{};
}

bool holds_a_member(const std::filesystem::path& path) {
    textfile::LineReader reader;
    if (!reader.open(path)) {
        return false;
    }
    std::string line;
    while (reader.next(line)) {
        if (!line.empty() && split_commas(line)[0] != title_line_code) {
            return true;
        }
    }
    return false;
}
