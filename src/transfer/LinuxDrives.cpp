#include "transfer/LinuxDrives.h"

#include "transfer/DriveType.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <sstream>
#include <string_view>

namespace fs = std::filesystem;

namespace {

constexpr std::array<std::string_view, 14> network_types{"nfs",   "nfs4",       "cifs",           "smb3",       "smbfs",
                                                         "ncpfs", "afs",        "ceph",           "glusterfs",  "9p",
                                                         "davfs", "fuse.sshfs", "fuse.glusterfs", "fuse.rclone"};
constexpr std::array<std::string_view, 2> ram_types{"tmpfs", "ramfs"};
constexpr std::array<std::string_view, 2> disc_types{"iso9660", "udf"};

template <std::size_t N> bool one_of(const std::array<std::string_view, N>& set, std::string_view v) {
    return std::find(set.begin(), set.end(), v) != set.end();
}

bool starts_with(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

std::string first_line_of(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// A component such as "usb2" (a USB bus) on a device's path.
bool is_usb_bus(const std::string& component) {
    return component.size() > 3 && starts_with(component, "usb") &&
           std::all_of(component.begin() + 3, component.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

LinuxDrives::LinuxDrives(fs::path system_root) : root_(std::move(system_root)) {}

fs::path LinuxDrives::on_system(const std::string& absolute) const {
    return root_ / fs::path(absolute).relative_path();
}

// The device's folder in sysfs: through its device number, else through the name of its source.
std::optional<fs::path> LinuxDrives::device_folder(const MountEntry& mount) const {
    std::error_code ec;
    const std::string number = std::to_string(mount.major) + ":" + std::to_string(mount.minor);
    fs::path found = fs::canonical(root_ / "sys/dev/block" / number, ec);
    if (!ec) {
        return found;
    }
    if (starts_with(mount.source, "/dev/") && mount.source.find("..") == std::string::npos) {
        found = fs::canonical(root_ / "sys/class/block" / fs::path(mount.source).filename(), ec);
        if (!ec) {
            return found;
        }
    }
    return std::nullopt;
}

bool LinuxDrives::attached_by_usb(const fs::path& device) const {
    std::error_code ec;
    const fs::path sys = fs::canonical(root_ / "sys", ec);
    const fs::path below = ec ? device : device.lexically_relative(sys);
    return std::any_of(below.begin(), below.end(), [](const fs::path& c) { return is_usb_bus(c.string()); });
}

std::optional<int> LinuxDrives::type_of(const MountEntry& mount) const {
    if (one_of(network_types, mount.fs_type)) {
        return drivetype::network;
    }
    if (one_of(ram_types, mount.fs_type)) {
        return drivetype::ramdisk;
    }
    if (mount.major == 0) {
        return std::nullopt; // proc, sysfs, overlay and other filesystems without a disk
    }
    const auto device = device_folder(mount);
    if (!device) {
        return drivetype::unknown;
    }
    std::error_code ec;
    const fs::path disk = fs::exists(*device / "partition", ec) ? device->parent_path() : *device;
    const std::string disk_name = disk.filename().string();
    if (one_of(disc_types, mount.fs_type) || starts_with(disk_name, "sr")) {
        return drivetype::cdrom;
    }
    if (starts_with(disk_name, "ram") || starts_with(disk_name, "zram")) {
        return drivetype::ramdisk;
    }
    if (first_line_of(root_ / "sys/block" / disk_name / "removable") == "1" || attached_by_usb(*device)) {
        return drivetype::removable;
    }
    return drivetype::fixed;
}

std::vector<Drive> LinuxDrives::drives() const {
    std::ifstream in(root_ / "proc/self/mountinfo", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();

    std::vector<Drive> out;
    // Disk-backed filesystems by device number: the drive made for it and whether that was a whole mount.
    std::map<std::pair<int, int>, std::pair<std::size_t, bool>> seen;
    for (const MountEntry& m : parse_mountinfo(text.str())) {
        if (m.mount_point.empty() || m.mount_point.front() != '/') {
            continue;
        }
        const auto type = type_of(m);
        if (!type) {
            continue;
        }
        Drive d{m.mount_point, on_system(m.mount_point), *type};
        const bool whole = m.root == "/";
        if (m.major == 0) {
            out.push_back(std::move(d));
        } else if (auto it = seen.find({m.major, m.minor}); it == seen.end()) {
            seen[{m.major, m.minor}] = {out.size(), whole};
            out.push_back(std::move(d));
        } else if (whole && !it->second.second) {
            // a bind mount of a sub-folder came first: the whole filesystem names the drive
            out[it->second.first] = std::move(d);
            it->second.second = true;
        }
    }
    std::sort(out.begin(), out.end(), [](const Drive& a, const Drive& b) { return a.name < b.name; });
    return out;
}
