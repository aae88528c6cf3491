#include "stamping/KeyboardReader.h"

#include "core/ErrorNumber.h"
#include "stamping/CombinedReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

namespace {

using Millis = KeyboardReader::Millis;

// Types text with the given pause between keys, starting at `at`; returns the time after the last key.
Millis type(KeyboardReader& r, std::u32string_view text, Millis at, Millis gap = Millis{10}) {
    for (char32_t ch : text) {
        r.key(ch, at);
        at += gap;
    }
    return at;
}

std::optional<std::string> poll(CardReader& r) {
    CardReader::Buffer buffer{};
    if (r.get_smart_card_uid(buffer) != 0) {
        return std::nullopt;
    }
    return std::string(buffer.data());
}

TEST(KeyboardReader, QuickHexFollowedByEnterIsOneCardForOnePoll) {
    KeyboardReader r;
    type(r, U"012e4c1b3a5f6d7e\r", Millis{1000});
    EXPECT_EQ(poll(r), "012E4C1B3A5F6D7E");
    EXPECT_EQ(poll(r), std::nullopt);
}

TEST(KeyboardReader, EntriesThatAreNoCard) {
    struct Case {
        const char* why;
        std::u32string text;
        Millis gap;
    };
    for (const auto& c :
         {Case{"typed by hand", U"0123456789ABCDEF\r", Millis{250}},
          Case{"not hexadecimal", U"0123456G89ABCDEF\r", Millis{10}},
          Case{"full-width digits", U"０１２３４５６７８９\r", Millis{10}}, Case{"too short", U"0123456\r", Millis{10}},
          Case{"Enter alone", U"\r", Millis{10}}, Case{"too long", std::u32string(33, U'A') + U"\r", Millis{10}}}) {
        KeyboardReader r;
        type(r, c.text, Millis{5000}, c.gap);
        EXPECT_EQ(poll(r), std::nullopt) << c.why;
    }
}

TEST(KeyboardReader, StrayKeysBeforeAPauseDoNotSpoilTheNextCard) {
    KeyboardReader r;
    Millis at = type(r, U"x7", Millis{0}, Millis{300});
    at = type(r, U"4BBCB01B\n", at + Millis{2000});
    EXPECT_EQ(poll(r), "4BBCB01B");
}

TEST(KeyboardReader, CardsTypedBetweenPollsAreReadInOrderAndTheQueueIsBounded) {
    KeyboardReader r;
    Millis at{0};
    for (int i = 0; i < 10; ++i) {
        std::u32string id = U"0000000" + std::u32string(1, static_cast<char32_t>(U'0' + i)) + U"\r";
        at = type(r, id, at + Millis{500});
    }
    EXPECT_EQ(r.pending(), KeyboardReader::max_pending);
    EXPECT_EQ(poll(r), "00000002"); // the two oldest were dropped
    EXPECT_EQ(poll(r), "00000003");
}

// A PC/SC reader that is not there yet (its component cannot be reached), then is, with or without a card.
class LateReader final : public CardReader {
public:
    std::int16_t get_smart_card_uid(Buffer& buffer) override {
        ++polls;
        if (failure) {
            throw RuntimeError(*failure);
        }
        if (card.empty()) {
            return 1;
        }
        std::copy(card.begin(), card.end(), buffer.begin());
        return 0;
    }
    std::optional<ErrorNumber> failure = ErrorNumber::FileNotFound;
    std::string card;
    int polls = 0;
};

// With "auto" the keyboard reader always reads, and a PC/SC reader missing at the start joins once it can be
// reached; the keyboard's card comes first. Another failure of the PC/SC reader still ends the poll.
TEST(CombinedReader, TheKeyboardAlwaysReadsAndALateReaderJoins) {
    KeyboardReader keyboard;
    LateReader late;
    CombinedReader combined(keyboard, late);
    EXPECT_EQ(poll(combined), std::nullopt) << "a missing PC/SC reader is no card";
    type(keyboard, U"4BBCB01B\r", Millis{1000});
    EXPECT_EQ(poll(combined), "4BBCB01B");

    late.failure.reset();
    late.card = "012E4C1B3A5F6D7E";
    EXPECT_EQ(poll(combined), "012E4C1B3A5F6D7E");
    const int polls = late.polls;
    type(keyboard, U"0123ABCD\r", Millis{5000});
    EXPECT_EQ(poll(combined), "0123ABCD");
    EXPECT_EQ(late.polls, polls) << "the PC/SC reader was asked while the keyboard had a card";

    late.failure = ErrorNumber::PermissionDenied;
    EXPECT_THROW((void)poll(combined), RuntimeError);
}

} // namespace
