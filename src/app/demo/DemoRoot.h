#pragma once

#include "core/DateTime.h"
#include "core/Paths.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

// The folder the demo runs on: the sample store with a dozen members, a shift plan for today, and a folder
// that stands for a USB stick. The store is written afresh when a file of it is missing or when the folder
// was filled on another day or by another version of the samples; the attendance log is kept, so the
// stamps of earlier runs of the day come back. A mark file tells a demo folder from a store's own folder,
// whose files are never overwritten.
class DemoRoot {
public:
    explicit DemoRoot(std::filesystem::path root);

    static constexpr std::size_t member_count = 12;
    static constexpr const char* mark_file = "demo-root.txt";

    // Makes the folder ready for a run on the day of today. Returns a message for the person at the screen
    // when it cannot, empty when the folder is ready.
    [[nodiscard]] std::string prepare(const DateTime& today) const;
    // Whether prepare would write the sample files (missing, or filled for another day or version).
    [[nodiscard]] bool outdated(const DateTime& today) const;

    [[nodiscard]] std::filesystem::path usb_stick() const { return paths_.root() / "usb-stick"; }

    // The cards on the demo keys F1 to F12, in key order: members 1 to 11, then a card no member holds.
    // Member 12's card is "lost": the new card can be registered to code 112 on the keypad.
    [[nodiscard]] static std::vector<std::string> key_cards();
    // What the keys do, for the person trying the demo: a line per key and the stick's folder, and in short
    // for a title bar.
    [[nodiscard]] std::string legend() const;
    [[nodiscard]] static std::string key_summary();

private:
    [[nodiscard]] bool is_store_folder_of_its_own() const;
    [[nodiscard]] std::string write_samples(const DateTime& today) const;
    [[nodiscard]] std::vector<std::string> mark(const DateTime& today) const;

    Paths paths_;
};
