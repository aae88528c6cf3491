#pragma once

#include "transfer/DriveList.h"
#include "transfer/MountTable.h"

#include <filesystem>
#include <optional>

// The drives of a Linux system: its mounted filesystems, read from /proc/self/mountinfo and sysfs below a
// system root ("/" in use, a fake tree in tests). A filesystem on a removable disk, or on any disk attached
// through USB (USB hard disks call themselves fixed), is a removable drive; each drive is named by its
// mount point, which stands wherever a drive letter would.
class LinuxDrives final : public DriveList {
public:
    explicit LinuxDrives(std::filesystem::path system_root = "/");

    // Sorted by mount point. Pseudo filesystems (proc, sysfs, overlay, ...) are no drives; a filesystem
    // mounted at several places is the drive of its first whole mount.
    [[nodiscard]] std::vector<Drive> drives() const override;

    // The type code of one mount, or nullopt when the mount is no drive at all.
    [[nodiscard]] std::optional<int> type_of(const MountEntry& mount) const;

private:
    [[nodiscard]] std::optional<std::filesystem::path> device_folder(const MountEntry& mount) const;
    [[nodiscard]] bool attached_by_usb(const std::filesystem::path& device) const;
    [[nodiscard]] std::filesystem::path on_system(const std::string& absolute) const;

    std::filesystem::path root_;
};
