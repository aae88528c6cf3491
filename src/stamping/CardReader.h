#pragma once

#include <array>
#include <cstdint>

// The card reader as the recorder polls it once a second. get_smart_card_uid has the contract of the
// reader component: the caller hands a buffer of 128 NUL characters; a result of 0 means a card was read
// and its identifier stands in the buffer as text followed by NULs; any other result means no card.
// A reader component that cannot be loaded throws RuntimeError(FileNotFound).
class CardReader {
public:
    static constexpr std::size_t buffer_size = 128;
    using Buffer = std::array<char, buffer_size + 1>; // one more for a terminating NUL

    virtual ~CardReader() = default;
    virtual std::int16_t get_smart_card_uid(Buffer& buffer) = 0;
};
