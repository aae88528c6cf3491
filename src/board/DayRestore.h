#pragma once

#include "core/DateTime.h"

#include <filesystem>

class FmMain;

// The start of the business day that now belongs to: 5:00:00 of today, or of yesterday before 5:00.
[[nodiscard]] DateTime business_day_start(const DateTime& now);

// The replay itself: every readable stamp of the log from day_start on goes onto the board through
// set_status, in file order. Streams the file; a missing or unreadable file replays nothing. Returns the
// number of stamps replayed.
int replay_log(FmMain& form, const std::filesystem::path& log, const DateTime& day_start);
