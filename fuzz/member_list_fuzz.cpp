// The member list E99_member.csv: any bytes loaded into one member table that lives for the whole run, so
// that every input also loads over what a longer list before it left behind.
#include "FuzzRoot.h"
#include "core/Cp932.h"
#include "core/TextFile.h"
#include "lists/MemberList.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

const FuzzRoot& root() {
    static const FuzzRoot r;
    return r;
}

MemberTable& table() {
    static const auto t = std::make_unique<MemberTable>();
    return *t;
}

std::string first_field(const std::string& line) {
    return line.substr(0, line.find(','));
}

// What the file asks for, from its decoded lines: the member lines (every non-empty line but the date
// lines, up to the last slot) and the date of the last date line that has one.
struct Expected {
    std::vector<std::string> member_lines;
    std::optional<std::string> date;
};

Expected expected_from(std::string_view bytes) {
    Expected e;
    for (const auto& line : textfile::split_lines(cp932::to_utf8(bytes))) {
        if (line.empty()) {
            continue;
        }
        if (first_field(line) == "99999") {
            const auto comma = line.find(',');
            if (comma != std::string::npos) {
                const auto next = line.find(',', comma + 1);
                e.date = line.substr(comma + 1, next == std::string::npos ? std::string::npos : next - comma - 1);
            }
        } else if (e.member_lines.size() < static_cast<std::size_t>(MemberTable::slot_count)) {
            e.member_lines.push_back(line);
        }
    }
    return e;
}

bool no_separator(const std::string& text) {
    return text.find_first_of(",\r\n") == std::string::npos && is_valid_utf8(text);
}

void check_slots(const MemberTable& t, const Expected& e) {
    const int end = t.end_index();
    fuzz_check(end == static_cast<int>(e.member_lines.size()), "every member line takes one slot, no more");
    for (int i = 0; i < end; ++i) {
        const auto& s = t.slot(i);
        fuzz_check(no_separator(*s.code) && no_separator(s.name) && no_separator(s.idm), "a field is one field");
        fuzz_check(*s.code == first_field(e.member_lines[static_cast<std::size_t>(i)]), "slots follow the file");
        fuzz_check(*s.code != "99999", "a date line is no member");
        if (!s.idm.empty()) {
            const auto found = t.find_idm(s.idm);
            fuzz_check(found && *found <= i && t.slot(*found).idm == s.idm, "a member's card is found");
        }
    }
    for (int i = end; i < MemberTable::slot_count; ++i) {
        const auto& s = t.slot(i);
        fuzz_check(!s.code && s.name.empty() && s.idm.empty(), "no slot after the end keeps an earlier member");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    root().write("zerbanto/E99_member.csv", bytes);
    std::string date = "(before)";
    const Status st = load_member_list(root().zerbanto() / "E99_member.csv", table(), date);
    fuzz_check(static_cast<bool>(st), "a plain file loads");
    const Expected e = expected_from(bytes);
    fuzz_check(date == e.date.value_or("(before)"), "the date is the last date line's, or left as it was");
    check_slots(table(), e);
    return 0;
}
