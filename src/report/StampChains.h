#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// What a corrections journal did to a stamp.
enum class StampFix : std::uint8_t { AsLogged, Added, Voided };

inline constexpr std::uint16_t no_name = 0xFFFF;

// One stamp as the report keeps it: small, since a chain's month holds millions.
struct Stamp {
    std::int64_t minute = 0;
    std::int16_t planned_start = -1; // minutes of the day, -1 for none
    std::int16_t planned_leave = -1;
    bool shift_in = true;
    StampFix fix = StampFix::AsLogged;
    std::uint16_t name = no_name; // the name on the line, by its place among the member's names
};

// The stamps of every member, each member's in the order they were added. They are kept in small blocks cut
// from large slabs of memory: a chain's month adds millions of stamps one at a time, and neither a copy when a
// member's list grows nor a fresh page every few hundred stamps is paid for them.
class StampChains {
public:
    StampChains() = default;
    StampChains(StampChains&&) = default;
    StampChains& operator=(StampChains&&) = default;
    StampChains(const StampChains&) = delete;
    StampChains& operator=(const StampChains&) = delete;
    ~StampChains() = default;

    void add(std::uint32_t member, const Stamp& s);
    // The member's stamps in the order added; out is cleared first (its memory is kept for the next member).
    void copy_out(std::uint32_t member, std::vector<Stamp>& out) const;
    // Hands each of the member's stamps to f, which may change it.
    void visit(std::uint32_t member, const std::function<void(Stamp&)>& f);
    // Takes the chains of later, its chain i after this one's chain place[i].
    void append(StampChains&& later, const std::vector<std::uint32_t>& place);
    // Frees every stamp.
    void clear();

private:
    static constexpr std::size_t block_stamps = 30;
    struct Block {
        Block* next = nullptr;
        std::uint32_t used = 0;
        Stamp stamps[block_stamps];
    };
    struct Chain {
        Block* first = nullptr;
        Block* last = nullptr;
    };
    struct FreeSlab {
        void operator()(std::byte* p) const;
    };

    Block* new_block();

    std::vector<Chain> chains_;
    std::vector<std::unique_ptr<std::byte, FreeSlab>> slabs_;
    std::size_t slab_used_ = 0;
};
