#include "board/DayRestore.h"

#include "core/Cp932.h"
#include "core/TextFile.h"
#include "core/TimeText.h"

#include <array>
#include <charconv>
#include <optional>
#include <string_view>

namespace {

constexpr int day_start_hour = 5;

// The fields a replay reads: 2nd (date and time), 4th (name) and 5th (mode); nullopt for a line with
// fewer than five fields.
struct StampFields {
    std::string_view when;
    std::string_view name;
    std::string_view mode;
};

std::optional<StampFields> stamp_fields(std::string_view line) {
    std::array<std::string_view, 5> f;
    for (std::size_t i = 0; i < f.size(); ++i) {
        const auto comma = line.find(',');
        if (comma == std::string_view::npos && i + 1 < f.size()) {
            return std::nullopt;
        }
        f[i] = line.substr(0, comma);
        line.remove_prefix(comma == std::string_view::npos ? line.size() : comma + 1);
    }
    return StampFields{f[1], f[3], f[4]};
}

// The mode is compared as a number: "1" (also " 1" or "1.0") is a shift-in, every other value a shift-out.
int stamp_mode(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc{} && end == text.data() + text.size() && v == 1 ? 1 : 2;
}

// The recorder writes only what code page 932 holds; bytes that do not decode (to U+FFFD) mark a damaged
// line, which is not replayed.
bool decodes(std::string_view raw) {
    return cp932::to_utf8_exactly(raw).has_value();
}

// A date and time written exactly as the recorder writes it, "yyyy/m/d h:mm", as one number that orders as
// the time does; nullopt for any other form. It passes over the many lines of earlier days cheaply; a line
// that is not passed over is read in full.
std::optional<std::int64_t> quick_key(std::string_view s) {
    std::int64_t key = 0;
    std::size_t i = 0;
    const auto number = [&](std::size_t min_digits, std::size_t max_digits, char then) {
        std::size_t n = 0;
        int v = 0;
        while (i < s.size() && n < max_digits && s[i] >= '0' && s[i] <= '9') {
            v = v * 10 + (s[i] - '0');
            ++i;
            ++n;
        }
        if (n < min_digits || (then != 0 && (i >= s.size() || s[i++] != then))) {
            return false;
        }
        key = key * 100 + v;
        return true;
    };
    if (!number(4, 4, '/') || !number(1, 2, '/') || !number(1, 2, ' ') || !number(1, 2, ':') || !number(2, 2, 0) ||
        i != s.size()) {
        return std::nullopt;
    }
    return key;
}

std::int64_t key_of(const DateTime& t) {
    return ((((static_cast<std::int64_t>(t.year) * 100 + t.month) * 100 + t.day) * 100 + t.hour) * 100) + t.minute;
}

} // namespace

DateTime business_day_start(const DateTime& now) {
    DateTime start = now.date_only();
    start.hour = day_start_hour;
    if (now.seconds_of_day() < day_start_hour * 3600) {
        start = start.plus_millis(-86'400'000LL);
    }
    return start;
}

int replay_log(BoardState& board, const std::filesystem::path& log, const DateTime& day_start) {
    textfile::LineReader reader;
    if (!reader.open(log)) {
        return 0; // no log yet: nothing to replay
    }
    const std::int64_t start_ms = day_start.to_millis();
    const std::int64_t start_key = key_of(day_start);
    int replayed = 0;
    std::optional<std::size_t> last_row;
    std::string_view raw;
    while (reader.next_raw(raw)) {
        const auto fields = stamp_fields(raw);
        // An empty mode is a line torn right after its fourth comma: no stamp was recorded there.
        if (!fields || fields->mode.empty()) {
            continue;
        }
        // The date field is plain ASCII: lines of earlier days are passed over without decoding them.
        if (const auto key = quick_key(fields->when); key && *key < start_key) {
            continue;
        }
        const auto when = timetext::parse_date_time(fields->when);
        if (!when || when->to_millis() < start_ms) {
            continue;
        }
        if (!decodes(raw)) {
            continue;
        }
        last_row =
            board.stamp(cp932::to_utf8(fields->name), stamp_mode(fields->mode), timetext::hm(when->seconds_of_day()));
        ++replayed;
    }
    if (replayed > 0) {
        board.last_stamp = BoardState::LastStamp{last_row};
    }
    return replayed;
}
