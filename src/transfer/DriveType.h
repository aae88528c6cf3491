#pragma once

#include "transfer/DriveList.h"

#include <string_view>

// The drive type codes and their names as the operator knows them; code 1 is a USB stick.
namespace drivetype {
inline constexpr int unknown = 0;
inline constexpr int removable = 1;
inline constexpr int fixed = 2;
inline constexpr int network = 3;
inline constexpr int cdrom = 4;
inline constexpr int ramdisk = 5;
} // namespace drivetype

// "リムーバブル ディスク" for 1 and so on; empty for a code outside the table.
[[nodiscard]] std::string_view drive_type_name(int code);

// Whether the USB import and export treat the drive as a stick: the name of its type is the removable one.
[[nodiscard]] bool is_usb_stick(const Drive& drive);
