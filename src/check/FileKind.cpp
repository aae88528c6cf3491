#include "check/FileKind.h"

#include "core/Cp932.h"
#include "transfer/UsbListing.h"

#include <string>
#include <string_view>

namespace {

bool is_shift_plan_name(std::string_view name) {
    constexpr std::string_view head = "S";
    constexpr std::string_view tail = "_SHIFT.csv";
    if (name.size() <= head.size() + tail.size() || !name.starts_with(head) || !name.ends_with(tail)) {
        return false;
    }
    const std::size_t store_chars = utf8_length(name.substr(head.size(), name.size() - head.size() - tail.size()));
    return store_chars <= 2;
}

} // namespace

FileKind file_kind(const std::filesystem::path& file) {
    const std::string name = file.filename().string();
    if (name == "xE99_member.csv" || is_member_file_name(name)) {
        return FileKind::MemberList;
    }
    return is_shift_plan_name(name) ? FileKind::ShiftPlan : FileKind::Unknown;
}
