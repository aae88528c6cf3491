#pragma once

#include "stamping/CardReader.h"

#include <cstdint>

// Two readers polled as one: one that always works (the keyboard reader) and one that may appear only
// later (a PC/SC reader still being set up by the system when the recorder starts). A poll returns the
// first reader's card; the second is asked only when the first has none. A missing component of the second
// reader counts as no card: the first keeps the recorder usable, and the next poll asks the second again, so
// it takes part as soon as it can be reached.
class CombinedReader final : public CardReader {
public:
    CombinedReader(CardReader& always, CardReader& joining) : always_(always), joining_(joining) {}

    std::int16_t get_smart_card_uid(Buffer& buffer) override;
    bool card_waiting() override { return always_.card_waiting() || joining_.card_waiting(); }
    void forget_arrivals() override {
        always_.forget_arrivals();
        joining_.forget_arrivals();
    }

private:
    CardReader& always_;
    CardReader& joining_;
};
