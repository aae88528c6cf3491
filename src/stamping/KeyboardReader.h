#pragma once

#include "stamping/CardReader.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>

// A card reader that acts as a keyboard: it types the IDm as hexadecimal digits, quickly, and ends it with
// Enter. The window hands every key press to key(); an IDm waits to be taken once its line has ended, and each
// poll takes the oldest typed since. Keys too
// far apart, or anything but a hexadecimal digit, break the entry, so a person pressing keys on the
// recorder's keyboard never makes a card.
class KeyboardReader final : public CardReader {
public:
    using Millis = std::chrono::milliseconds;

    // max_gap: the longest pause between two keys of one IDm.
    explicit KeyboardReader(Millis max_gap = default_gap) : max_gap_(max_gap) {}

    static constexpr Millis default_gap{100};
    static constexpr std::size_t min_digits = 8;  // a 4-byte UID
    static constexpr std::size_t max_digits = 32; // longer than any card's identifier
    static constexpr std::size_t max_pending = 8; // IDms typed between two polls that are kept

    // One key press: ch is its character ('\r' or '\n' for Enter), at is a steady time stamp.
    void key(char32_t ch, Millis at);

    std::int16_t get_smart_card_uid(Buffer& buffer) override;
    bool card_waiting() override { return !read_.empty(); }
    void forget_arrivals() override { read_.clear(); }

    [[nodiscard]] std::size_t pending() const { return read_.size(); }

private:
    void finish();

    Millis max_gap_;
    std::string typed_;
    Millis last_key_{-1};
    bool broken_ = false;
    std::deque<std::string> read_;
};
