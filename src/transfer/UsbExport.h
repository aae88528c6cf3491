#pragma once

#include "transfer/DriveList.h"

#include <string>
#include <string_view>

class Recorder;
struct DateTime;

// "USBへ": asks per removable drive and copies a time-stamped copy of the log to each confirmed one.
void Search_OutUSB_Drive(Recorder& rec);

// Copies the store's log to the drive's Zerbanto folder (created when missing) under the name of the
// moment. The copy is written under a temporary name and renamed when complete, so the final name never
// holds part of a log. An error in creating the folder is thrown to the caller.
void Chk_server_file(Recorder& rec, const Drive& drive);

// "K04_160714_2305.CSV": the last two characters of the store code, the date and the time.
[[nodiscard]] std::string export_copy_name(std::string_view store_code, const DateTime& now);
