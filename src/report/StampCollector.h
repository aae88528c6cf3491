#pragma once

#include "core/Result.h"
#include "report/StampChains.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct Correction;

// A member as the log names one: a cast code within a store.
struct LogMember {
    std::string store;              // UTF-8
    std::string code;               // UTF-8
    std::vector<std::string> names; // UTF-8, each name once, in the order met; compared as text
    // Each byte form of a name met, with the name's place in names: code page 932 writes some characters in two
    // forms (髙 as EE E0 and as FB FC), which are one name.
    std::vector<std::pair<std::string, std::uint16_t>> raw_names;
    std::vector<const Correction*> corrections; // applied to the member's stamps
};

// What the logs hold for a report: the members met, and each member's stamps in the order of the input.
struct CollectedStamps {
    std::vector<LogMember> members;
    StampChains stamps; // by the member's place in members
};

// Which stamps are kept: those of the members asked for, within a window of minutes that reaches past the
// business days reported far enough to pair their stays.
struct StampFilter {
    std::int64_t first_minute = INT64_MIN;
    std::int64_t end_minute = INT64_MAX; // excluded
    std::optional<std::string> store;    // code page 932, as in the log
    std::optional<std::string> member;
};

// What a line of a log came to.
enum class LineKind {
    Taken,
    Unreadable, // not a line the recorder writes: skipped
    OddPlan,    // a planned time that is not "h:mm": the stamp is taken without a plan
    NoName,     // an empty name: the stamp is taken, the name is not
};

// Reads log files line by line and keeps their stamps. Memory grows with the stamps kept, not with the size
// of the files; a line's texts are decoded only when they name a member or a name not met before.
class StampCollector {
public:
    using UnreadableLine =
        std::function<void(const std::filesystem::path& file, std::size_t line_number, LineKind kind)>;

    explicit StampCollector(StampFilter filter);

    // Reads the file's lines; each line that is not one the recorder writes is handed to on_unreadable.
    [[nodiscard]] Status read_file(const std::filesystem::path& file, const UnreadableLine& on_unreadable);
    // Unreadable when the line is not one the recorder writes (or does not decode).
    LineKind add_line(std::string_view raw);

    // Takes over what a collector of the files after this one's read: members, names, stamps and counts. Each
    // member's stamps follow this one's, as if one collector had read all the files in order.
    void append(StampCollector&& later);

    [[nodiscard]] CollectedStamps& collected() { return collected_; }
    [[nodiscard]] std::size_t lines() const { return lines_; }
    [[nodiscard]] std::size_t stamps() const { return stamps_; }
    [[nodiscard]] std::size_t unreadable() const { return unreadable_; }

private:
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    using Index = std::unordered_map<std::string, std::uint32_t, TextHash, std::equal_to<>>;
    // The codes of one store; the lines of a file nearly always come from one store.
    struct StoreCodes {
        std::string raw;
        std::string decoded;
        Index codes;
    };

    std::optional<std::uint32_t> member_for(std::string_view store, std::string_view code);
    StoreCodes* store_for(std::string_view store);
    static std::optional<std::uint16_t> name_of(LogMember& m, std::string_view raw_name);

    StampFilter filter_;
    Index store_index_;
    std::vector<StoreCodes> stores_;
    std::size_t last_store_ = SIZE_MAX;
    CollectedStamps collected_;
    std::size_t lines_ = 0;
    std::size_t stamps_ = 0;
    std::size_t unreadable_ = 0;
};
