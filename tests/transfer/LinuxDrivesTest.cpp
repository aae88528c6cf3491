#include "transfer/LinuxDrives.h"
#include "transfer/DriveType.h"
#include "transfer/MountTable.h"

#include "transfer/FakeSysfs.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;

namespace {

TEST(MountTable, ReadsFieldsOptionalTagsAndEscapes) {
    const auto table = parse_mountinfo(
        "22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
        "98 22 8:17 / /media/op/MY\\040STICK rw,nosuid shared:50 master:2 - vfat /dev/sdb1 rw,fmask=0022\n"
        "99 22 0:51 /sub /mnt/tab\\011and\\134back rw - nfs4 server:/export rw\n"
        "100 22 0:52 / /mnt/x\\04 rw - tmpfs\n");
    ASSERT_EQ(table.size(), 4U);
    EXPECT_EQ(table[0].major, 8);
    EXPECT_EQ(table[0].minor, 2);
    EXPECT_EQ(table[0].mount_point, "/");
    EXPECT_EQ(table[1].mount_point, "/media/op/MY STICK");
    EXPECT_EQ(table[1].fs_type, "vfat");
    EXPECT_EQ(table[1].source, "/dev/sdb1");
    EXPECT_EQ(table[2].root, "/sub");
    EXPECT_EQ(table[2].mount_point, "/mnt/tab\tand\\back");
    EXPECT_EQ(table[2].fs_type, "nfs4");
    EXPECT_EQ(table[3].mount_point, "/mnt/x\\04"); // too short for an escape
    EXPECT_EQ(table[3].source, "");
}

TEST(MountTable, MalformedTextGivesNoMountsAndNoCrash) {
    const char* bad[] = {
        "",
        "\n\n\n",
        "garbage",
        "1 2 3 4 5 6 - ",
        "1 2 8:1 / /mnt rw",                               // no separator
        "1 2 8:1 / /mnt rw -",                             // no type
        "x 2 8:1 / /mnt rw - ext4 /dev/sda1 rw",           // id not a number
        "1 2 81 / /mnt rw - ext4 /dev/sda1 rw",            // device without a colon
        "1 2 8:-1 / /mnt rw - ext4 /dev/sda1 rw",          // negative minor
        "1 2 99999999999:1 / /mnt rw - ext4 /dev/sda1 rw", // out of range
        "1 2 8:1 / \\ rw - ext4 /dev/sda1 rw",
        "1 2 8:1 / /mnt\\7 rw - ext4 /dev/sda1 rw\\",
    };
    for (const char* text : bad) {
        const auto table = parse_mountinfo(text);
        for (const auto& m : table) {
            EXPECT_FALSE(m.fs_type.empty()) << text;
        }
        if (std::string_view(text).find(" - ext4 /dev/sda1") == std::string_view::npos) {
            EXPECT_TRUE(table.empty()) << text;
        }
    }
    EXPECT_EQ(parse_mountinfo("1 2 8:1 / /mnt\\7 rw - ext4 /dev/sda1 rw\\").at(0).mount_point, "/mnt\\7");
    std::string noise;
    for (int i = 0; i < 4096; ++i) {
        noise += static_cast<char>((i * 7919) % 256);
    }
    (void)parse_mountinfo(noise);

    // Every cut of a good line, and every byte of it replaced, still parses to mounts of a sane shape.
    const std::string good = "98 22 8:17 / /media/op/MY\\040STICK rw,nosuid shared:50 - vfat /dev/sdb1 rw\n";
    for (std::size_t cut = 0; cut <= good.size(); ++cut) {
        const auto table = parse_mountinfo(good.substr(0, cut));
        EXPECT_LE(table.size(), 1U);
        if (cut <= good.find(" - ") + 3) { // no type yet
            EXPECT_TRUE(table.empty()) << cut;
        }
    }
    for (std::size_t at = 0; at < good.size(); ++at) {
        for (const char c : {'\0', ' ', '\\', '-', ':', '\n', '\xFF'}) {
            std::string bent = good;
            bent[at] = c;
            for (const auto& m : parse_mountinfo(bent)) {
                EXPECT_FALSE(m.fs_type.empty()) << bent;
            }
        }
    }
}

TEST(LinuxDrives, EachKindOfMountGetsItsType) {
    FakeSystem sys;
    sys.disk("sda", "8:0", sata_port, false);
    sys.partition("sda", "sda2", "8:2", sata_port);
    sys.disk("sdb", "8:16", usb_port, true); // a USB stick with a partition table
    sys.partition("sdb", "sdb1", "8:17", usb_port);
    sys.disk("sdc", "8:32", "pci0000:00/0000:00:14.0/usb3/3-2/3-2:1.0/host7/target7:0:0/7:0:0:0",
             false);                                 // a USB hard disk formatted whole: it calls itself fixed
    sys.disk("sdd", "8:48", sata_port + "/x", true); // a removable disk that is not mounted
    sys.disk("sr0", "11:0", "pci0000:00/0000:00:17.0/ata2/host1/target1:0:0/1:0:0:0", true);
    sys.mountinfo("22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
                  "23 22 0:5 / /proc rw shared:2 - proc proc rw\n"
                  "24 22 0:21 / /sys rw shared:3 - sysfs sysfs rw\n"
                  "25 22 0:22 / /run rw shared:4 - tmpfs tmpfs rw,size=100k\n"
                  "26 22 8:2 /home /home rw shared:1 - ext4 /dev/sda2 rw\n"
                  "90 22 8:17 /DCIM /srv/photos rw - vfat /dev/sdb1 rw\n"
                  "98 22 8:17 / /media/op/MY\\040STICK rw,nosuid shared:50 - vfat /dev/sdb1 rw\n"
                  "99 22 8:32 / /media/op/BACKUP rw shared:51 - exfat /dev/sdc rw\n"
                  "100 22 0:51 / /mnt/share rw - nfs4 server:/export rw\n"
                  "101 22 0:52 / /mnt/win rw - cifs //nas/share rw\n"
                  "102 22 11:0 / /media/cdrom ro - iso9660 /dev/sr0 ro\n"
                  "103 22 253:7 / /mnt/lost rw - ext4 /dev/mapper/gone rw\n"
                  "this line is not a mount\n");
    const auto drives = LinuxDrives(sys.tmp.path()).drives();

    std::vector<std::pair<std::string, int>> got;
    for (const Drive& d : drives) {
        got.emplace_back(d.name, d.type);
        EXPECT_EQ(d.root, sys.tmp.path() / fs::path(d.name).relative_path()) << d.name;
    }
    const std::vector<std::pair<std::string, int>> want{
        {"/", drivetype::fixed},
        {"/media/cdrom", drivetype::cdrom},
        {"/media/op/BACKUP", drivetype::removable},
        {"/media/op/MY STICK", drivetype::removable},
        {"/mnt/lost", drivetype::unknown},
        {"/mnt/share", drivetype::network},
        {"/mnt/win", drivetype::network},
        {"/run", drivetype::ramdisk},
    };
    EXPECT_EQ(got, want);

    std::vector<std::string> sticks;
    for (const Drive& d : drives) {
        if (is_usb_stick(d)) {
            sticks.push_back(d.name);
        }
    }
    EXPECT_EQ(sticks, (std::vector<std::string>{"/media/op/BACKUP", "/media/op/MY STICK"}));
}

TEST(LinuxDrives, DeviceFoundThroughItsSourceWhenTheNumberHasNoLink) {
    FakeSystem sys;
    sys.disk("sde", "8:64", usb_port, true);
    sys.partition("sde", "sde1", "8:65", usb_port);
    fs::remove(sys.tmp.path() / "sys/dev/block/8:65");
    sys.mountinfo("98 22 8:65 / /media/s rw - vfat /dev/sde1 rw\n"
                  "99 22 8:66 / /media/t rw - vfat /dev/../../etc/x rw\n");
    const auto drives = LinuxDrives(sys.tmp.path()).drives();
    ASSERT_EQ(drives.size(), 2U);
    EXPECT_EQ(drives[0].type, drivetype::removable);
    EXPECT_EQ(drives[1].type, drivetype::unknown);
}

TEST(LinuxDrives, NoMountinfoNoDrives) {
    TempRoot empty;
    EXPECT_TRUE(LinuxDrives(empty.path()).drives().empty());
}

TEST(DriveType, NamesOfTheCodes) {
    EXPECT_EQ(drive_type_name(1), "リムーバブル ディスク");
    EXPECT_EQ(drive_type_name(4), "CD-ROM");
    EXPECT_EQ(drive_type_name(6), "");
    EXPECT_EQ(drive_type_name(-1), "");
    EXPECT_TRUE(is_usb_stick(Drive{"E", "/x", 1}));
    EXPECT_FALSE(is_usb_stick(Drive{"E", "/x", 2}));
    EXPECT_FALSE(is_usb_stick(Drive{"E", "/x", 7}));
}

} // namespace
