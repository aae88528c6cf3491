#pragma once

#include "core/Result.h"
#include "transfer/UsbListing.h"

#include <vector>

class Paths;
class UserInterface;

// What the search of the sticks found: the member-list files it listed, and how many sticks it looked at.
struct StickListing {
    std::vector<ListedFile> files;
    int sticks = 0;
};

// (Formerly Search_USB_Drive2.) Writes the listing file usb_out.txt afresh: the member-list files of every
// removable drive, drive by drive, letting window events run after each. Hands back what it listed, so that
// the questions reach the very files even when a name does not survive the listing's code page.
[[nodiscard]] Result<StickListing> list_stick_member_files(const Paths& paths, const DriveList& drives,
                                                           UserInterface& ui);

// (Formerly chk_usbdir_file2.) Asks per line of the listing file; on the first Yes copies that file over the
// member list. listed maps the lines back to the files. True when the list was replaced (the caller then
// reloads it), false when every question was answered No or there is no listing.
[[nodiscard]] Result<bool> replace_member_list_from_listing(const Paths& paths, const DriveList& drives,
                                                            UserInterface& ui, const std::vector<ListedFile>& listed);
