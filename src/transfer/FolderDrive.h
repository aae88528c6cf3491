#pragma once

#include "transfer/DriveList.h"

#include <filesystem>

// One folder presented as the only drive, a removable one named by its path: the demo's stand-in for a USB
// stick, so that "USBから" and "USBへ" can be tried without one.
class FolderDrive final : public DriveList {
public:
    explicit FolderDrive(std::filesystem::path folder) : folder_(std::move(folder)) {}

    [[nodiscard]] std::vector<Drive> drives() const override;

private:
    std::filesystem::path folder_;
};
