#pragma once

#include <array>
#include <cstdint>

// The card reader as the recorder asks it. get_smart_card_uid has the contract of the reader component:
// the caller hands a buffer of 128 NUL characters; a result of 0 means a card was read and its identifier
// stands in the buffer as text followed by NULs; any other result means no card. It never waits for the
// reader. A reader component that cannot be loaded throws RuntimeError(FileNotFound).
class CardReader {
public:
    static constexpr std::size_t buffer_size = 128;
    using Buffer = std::array<char, buffer_size + 1>; // one more for a terminating NUL

    virtual ~CardReader() = default;
    virtual std::int16_t get_smart_card_uid(Buffer& buffer) = 0;

    // Whether a card has come since it was last asked and waits to be taken now, without waiting for the
    // next second. Never waits, never throws.
    [[nodiscard]] virtual bool card_waiting() { return false; }
    // Drops the cards that came while the recorder could not take one (a question, the keypad, a transfer):
    // a touch nobody answered with a chime is not stamped later. A card still lying on the reader stays.
    virtual void forget_arrivals() {}
};
