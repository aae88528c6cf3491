#pragma once

#include "transfer/UsbListing.h"

#include <vector>

class Recorder;

// "USBから": looks for member lists on every removable drive, asks per file, copies the first confirmed
// one over the member list and reloads it.
void Get_From_USB(Recorder& rec);

// Writes the listing file usb_out.txt afresh: the member-list files of every removable drive, drive by
// drive. Hands back what it listed, so that the questions reach the very files even when a name does not
// survive the listing's code page.
std::vector<ListedFile> Search_USB_Drive2(Recorder& rec);

// Appends one drive's member-list files to the listing file (creating it) and hands them back.
std::vector<ListedFile> list_usb_member_files(Recorder& rec, const Drive& drive);

// Asks per line of the listing file; on the first Yes copies that file over the member list and reloads
// it. listed maps the lines back to the files.
void chk_usbdir_file2(Recorder& rec, const std::vector<ListedFile>& listed);
