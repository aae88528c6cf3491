#pragma once

struct RecorderState;

// (Formerly Get_From_USB.) "USBから": looks for member lists on every removable drive, asks per file,
// copies the first confirmed one over the member list and reloads it.
void import_member_list_from_usb(RecorderState& s);

// (Formerly Search_OutUSB_Drive.) "USBへ": asks per removable drive and copies a time-stamped copy of the
// log to each confirmed one, then returns to shift-in mode.
void export_log_to_usb(RecorderState& s);
