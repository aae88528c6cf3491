#include "sim/ScriptedDrives.h"

#include <array>

std::vector<Drive> ScriptedDrives::drives() const {
    std::vector<Drive> out;
    for (const auto& [letter, d] : drives_) {
        out.push_back(d);
    }
    return out;
}

void ScriptedDrives::add(const std::string& letter, const std::filesystem::path& root, int type) {
    std::error_code ec;
    std::filesystem::create_directories(root, ec);
    drives_[letter] = Drive{letter, root, type};
}

int ScriptedDrives::type_code(const std::string& name) {
    static constexpr std::array<const char*, 6> names{"unknown", "removable", "fixed", "network", "cdrom", "ramdisk"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (name == names[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}
