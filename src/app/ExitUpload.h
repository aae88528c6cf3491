#pragma once

#include "core/Result.h"

struct RecorderState;

// At the exit button: a time-stamped copy of the log into the outbox and, when connected, the upload of the
// outbox. The first failure's number; the exit reports none of them.
[[nodiscard]] Status upload_at_exit(RecorderState& s);
