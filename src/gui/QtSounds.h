#pragma once

#include "stamping/Sounds.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>

class QSoundEffect;

// The recorder's sounds through Qt Multimedia: chimes.wav and chord.wav from the sound folder. A sound
// starts and play returns at once; a missing file, or no sound device, plays nothing.
class QtSounds final : public Sounds {
public:
    explicit QtSounds(std::filesystem::path folder);
    ~QtSounds() override;
    QtSounds(const QtSounds&) = delete;
    QtSounds& operator=(const QtSounds&) = delete;

    void play(std::string_view name) override;

    // The folder given on the command line; else the installed sounds; else those of the source tree.
    [[nodiscard]] static std::filesystem::path choose_folder(const std::filesystem::path& given);
    [[nodiscard]] const std::filesystem::path& folder() const { return folder_; }

private:
    std::filesystem::path folder_;
    std::map<std::string, std::unique_ptr<QSoundEffect>, std::less<>> effects_;
};
