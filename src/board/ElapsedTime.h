#pragma once

#include "core/FmMain.h"

// Recomputes the continuous and cumulative times of the members on shift as of now (seconds since
// midnight) and colours the continuous times: from 4 hours yellow, from 6 hours salmon.
void update_elapsed(FmMain& form, int now_seconds_of_day);
