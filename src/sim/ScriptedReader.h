#pragma once

#include "stamping/CardReader.h"

#include <optional>
#include <string>

// The simulator's card reader: a card that lies on it until lifted, a card tapped for one poll, or a
// reader component that cannot be loaded.
class ScriptedReader final : public CardReader {
public:
    std::int16_t get_smart_card_uid(Buffer& buffer) override;
    // A tapped card is read at the next tick; a card laid on the reader at the polls of the second.
    bool card_waiting() override { return tapped_.has_value() && !missing_; }
    void forget_arrivals() override { tapped_.reset(); }

    void place(std::string idm) { lying_ = std::move(idm); }
    void tap(std::string idm) { tapped_ = std::move(idm); }
    void lift() {
        lying_.reset();
        tapped_.reset();
    }
    void set_missing(bool missing) { missing_ = missing; }

private:
    std::optional<std::string> lying_;
    std::optional<std::string> tapped_;
    bool missing_ = false;
};
