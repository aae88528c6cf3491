#pragma once

#include "transfer/DriveList.h"

#include <map>
#include <string>

// The simulator's drives, each a folder standing for a drive letter, enumerated in letter order.
class ScriptedDrives final : public DriveList {
public:
    [[nodiscard]] std::vector<Drive> drives() const override;
    void add(const std::string& letter, const std::filesystem::path& root, int type);
    void remove(const std::string& letter) { drives_.erase(letter); }

    // "removable" → 1 and so on; -1 for a name that is no drive type.
    [[nodiscard]] static int type_code(const std::string& name);

private:
    std::map<std::string, Drive> drives_;
};
