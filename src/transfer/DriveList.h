#pragma once

#include <filesystem>
#include <string>
#include <vector>

// A drive as the USB import and export see it: its name (a letter on Windows and in the simulator, the
// mount point on Linux), its root folder and its type code (1 is a removable disk).
struct Drive {
    std::string name;
    std::filesystem::path root;
    int type = 0;
};

class DriveList {
public:
    virtual ~DriveList() = default;
    // Every drive, in the order the import and export walk them.
    [[nodiscard]] virtual std::vector<Drive> drives() const = 0;
};
