#pragma once

#include "core/Result.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// One stamp as the report keeps it: small, since a chain's month holds millions.
struct Stamp {
    std::int64_t minute = 0;
    std::uint32_t order = 0;         // the line's place in the input: stamps of one minute keep it
    std::int16_t planned_start = -1; // minutes of the day, -1 for none
    std::int16_t planned_leave = -1;
    bool shift_in = true;
};

// A member is a cast code within a store, as the log writes both.
struct MemberStamps {
    std::string store;              // UTF-8
    std::string code;               // UTF-8
    std::vector<std::string> names; // UTF-8, each name once, in the order met
    std::vector<std::string> raw_names;
    std::vector<Stamp> stamps;
};

// Which stamps are kept: those of the members asked for, within a window of minutes that reaches past the
// business days reported far enough to pair their stays.
struct StampFilter {
    std::int64_t first_minute = INT64_MIN;
    std::int64_t end_minute = INT64_MAX; // excluded
    std::optional<std::string> store;    // code page 932, as in the log
    std::optional<std::string> member;
};

// Reads log files line by line and keeps their stamps per member. Memory grows with the stamps kept, not with
// the size of the files; every line is decoded only when it names a member or a name not met before.
class StampCollector {
public:
    using UnreadableLine = std::function<void(const std::filesystem::path& file, std::size_t line_number)>;

    StampCollector(StampFilter filter, UnreadableLine on_unreadable);

    [[nodiscard]] Status read_file(const std::filesystem::path& file);
    // False when the line is not one the recorder writes (or does not decode).
    bool add_line(std::string_view raw);

    [[nodiscard]] std::vector<MemberStamps>& members() { return members_; }
    [[nodiscard]] std::size_t lines() const { return lines_; }
    [[nodiscard]] std::size_t stamps() const { return stamps_; }
    [[nodiscard]] std::size_t unreadable() const { return unreadable_; }

private:
    MemberStamps* member_for(std::string_view store, std::string_view code);
    bool note_name(MemberStamps& m, std::string_view raw_name);

    StampFilter filter_;
    UnreadableLine on_unreadable_;
    std::unordered_map<std::string, std::size_t> index_;
    std::vector<MemberStamps> members_;
    std::string key_;
    std::size_t lines_ = 0;
    std::size_t stamps_ = 0;
    std::size_t unreadable_ = 0;
};
