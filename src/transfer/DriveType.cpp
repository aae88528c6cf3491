#include "transfer/DriveType.h"

#include <array>

namespace {
constexpr std::array<std::string_view, 6> type_names{
    "不明", "リムーバブル ディスク", "ハードディスク", "ネットワークドライブ", "CD-ROM", "RAMディスク"};
} // namespace

std::string_view drive_type_name(int code) {
    if (code < 0 || code >= static_cast<int>(type_names.size())) {
        return {};
    }
    return type_names[static_cast<std::size_t>(code)];
}

bool is_usb_stick(const Drive& drive) {
    return drive_type_name(drive.type) == "リムーバブル ディスク";
}
