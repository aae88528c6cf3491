#include "check/PlanFields.h"

#include "core/DateTime.h"

#include <algorithm>

namespace {

bool all_digits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int number(std::string_view digits) {
    int n = 0;
    for (char c : digits) {
        n = n * 10 + (c - '0');
    }
    return n;
}

} // namespace

bool is_plan_day(std::string_view day) {
    if (day.size() != 6 || !all_digits(day)) {
        return false;
    }
    return DateTime::make(2000 + number(day.substr(0, 2)), number(day.substr(2, 2)), number(day.substr(4, 2)))
        .has_value();
}

bool is_board_time(std::string_view time) {
    const std::size_t colon = time.find(':');
    if (colon == std::string_view::npos || colon < 1 || colon > 2 || time.size() != colon + 3) {
        return false;
    }
    const std::string_view hour = time.substr(0, colon);
    const std::string_view minute = time.substr(colon + 1);
    return all_digits(hour) && all_digits(minute) && number(hour) < 24 && number(minute) < 60;
}
