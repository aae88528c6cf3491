#pragma once

#include "support/TempRoot.h"

#include <filesystem>
#include <fstream>
#include <string>

// A sysfs and procfs tree as the kernel lays it out: devices under sys/devices, reached through the links of
// sys/dev/block and sys/block.
class FakeSystem {
public:
    void disk(const std::string& name, const std::string& number, const std::string& parent, bool removable) {
        const std::filesystem::path dir = tmp.path() / "sys/devices" / parent / "block" / name;
        std::filesystem::create_directories(dir);
        std::ofstream(dir / "removable") << (removable ? "1\n" : "0\n");
        link("sys/block/" + name, "../devices/" + parent + "/block/" + name);
        link("sys/dev/block/" + number, "../../devices/" + parent + "/block/" + name);
    }
    void partition(const std::string& disk, const std::string& name, const std::string& number,
                   const std::string& parent) {
        const std::filesystem::path dir = tmp.path() / "sys/devices" / parent / "block" / disk / name;
        std::filesystem::create_directories(dir);
        std::ofstream(dir / "partition") << "1\n";
        link("sys/class/block/" + name, "../../devices/" + parent + "/block/" + disk + "/" + name);
        link("sys/dev/block/" + number, "../../devices/" + parent + "/block/" + disk + "/" + name);
    }
    void mountinfo(const std::string& text) {
        std::filesystem::create_directories(tmp.path() / "proc/self");
        std::ofstream(tmp.path() / "proc/self/mountinfo", std::ios::binary) << text;
    }
    TempRoot tmp;

private:
    void link(const std::string& at, const std::string& to) {
        std::filesystem::create_directories((tmp.path() / at).parent_path());
        std::filesystem::create_directory_symlink(to, tmp.path() / at);
    }
};

inline const std::string usb_port = "pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0";
inline const std::string sata_port = "pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0";
