#pragma once

#include "stamping/CardReader.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>

// A contactless reader reached through PC/SC (pcsc-lite, loaded at run time so that a PC without it can
// still use another reader). The UID is asked with GET DATA FF CA 00 00 00 and written as upper-case
// hexadecimal.
//
// A thread of its own waits for cards (SCardGetStatusChange, in slices so that it sees the end of the
// program) and reads each card as it arrives; the recorder's thread only takes what it has read and never
// waits for the service, so a hung service or a slow card can never freeze the window. A card left lying is
// offered again a second after it was last taken. Only at the first poll after the thread's first attempt
// does a missing library or service count as the reader component being absent (FileNotFound); from then
// on every fault (no reader, a reader unplugged, the service stopped or restarted, a card pulled mid-read)
// is "no card", and the thread starts afresh with a new context, so reading resumes once the reader is back.
class PcscReader final : public CardReader {
public:
    using Millis = std::chrono::milliseconds;

    struct Settings {
        std::string library = "libpcsclite.so.1";
        Millis wait_slice{1000};  // one wait for a change at most: how soon the thread sees the end
        Millis retry{500};        // the pause before a new context once the service is gone or has no reader
        Millis lying_again{1000}; // a card left lying is offered again this long after it was last taken
        Millis exit_limit{2000};  // the end of the program waits this long for the thread, no more
        Millis probe_limit{3000}; // reader_present waits this long for the thread's first look
    };

    PcscReader() : PcscReader(Settings{}) {}
    explicit PcscReader(Settings settings);
    ~PcscReader() override;
    PcscReader(const PcscReader&) = delete;
    PcscReader& operator=(const PcscReader&) = delete;

    std::int16_t get_smart_card_uid(Buffer& buffer) override;
    bool card_waiting() override;
    void forget_arrivals() override;

    // Whether the service answers and lists at least one reader; waits for the thread's first look.
    [[nodiscard]] bool reader_present();

    struct Shared;

private:
    Settings settings_;
    std::shared_ptr<Shared> shared_;
    std::thread worker_;
    bool first_poll_ = true;
};
