#pragma once

class Recorder;

// "USBへ": asks per removable drive and copies a time-stamped copy of the log to each confirmed one.
void Search_OutUSB_Drive(Recorder& rec);
