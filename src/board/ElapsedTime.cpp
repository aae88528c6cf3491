#include "board/ElapsedTime.h"

#include "core/TimeText.h"

#include <charconv>
#include <string>

namespace {

void recompute(BoardRow& row, int now) {
    if (row.iT.text.empty()) {
        row.ET.text.clear();
        return;
    }
    const auto in = timetext::parse_time_of_day(row.iT.text);
    if (!in) {
        return; // only set_status writes the cell; a text it did not write is left alone
    }
    // An in-time later than now means the stay crossed midnight.
    const int stay = *in <= now ? now - *in : now - *in + timetext::seconds_per_day;
    row.ET.text = timetext::hm(stay);
    if (row.TT.text.empty()) {
        row.RT.text = row.ET.text;
    } else if (auto sum = timetext::add_hm(row.TT.text, row.ET.text)) {
        row.RT.text = *sum;
    }
}

// The whole hours of an "h:mm" text decide the colour; no colon means no stay is shown.
Color stay_colour(const std::string& et) {
    const auto colon = et.find(':');
    if (colon == std::string::npos) {
        return colors::neutral;
    }
    int hours = 0;
    const auto [end, ec] = std::from_chars(et.data(), et.data() + colon, hours);
    if (ec != std::errc{} || end != et.data() + colon) {
        return colors::neutral;
    }
    if (hours > 5) {
        return colors::salmon;
    }
    return hours > 3 ? colors::yellow : colors::neutral;
}

} // namespace

void update_elapsed(FmMain& form, int now_seconds_of_day) {
    const int now =
        ((now_seconds_of_day % timetext::seconds_per_day) + timetext::seconds_per_day) % timetext::seconds_per_day;
    for (auto& row : form.board) {
        if (!row.ET.text.empty()) {
            recompute(row, now);
        }
    }
    for (auto& row : form.board) {
        row.ET.back = stay_colour(row.ET.text);
    }
}
