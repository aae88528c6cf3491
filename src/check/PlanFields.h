#pragma once

#include <string_view>

// The day field of a plan line is a day the recorder will show: six digits yymmdd of a real date, as the
// recorder writes the day's key. Any other text matches no day, and its line is never shown.
[[nodiscard]] bool is_plan_day(std::string_view day);

// A planned time the board shows as it shows its own times: "h:mm" (or "hh:mm") from 0:00 to 23:59.
[[nodiscard]] bool is_board_time(std::string_view time);
