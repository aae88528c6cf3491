#pragma once

#include "stamping/CardReader.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>

// A contactless reader reached through PC/SC (pcsc-lite, loaded at run time so that a PC without it can
// still use another reader). A poll asks each reader for the card's UID (GET DATA FF CA 00 00 00) and
// writes it as upper-case hexadecimal.
//
// The PC/SC calls run on a worker thread and a poll waits for them only a short while: a hung service or
// a slow card can never freeze the window. Only at the first poll does a missing library or service count
// as the reader component being absent (FileNotFound); from then on every fault (no reader, a reader
// unplugged, the service restarted, a card pulled mid-read) is "no card", and the next poll starts afresh
// with a new context, so reading resumes by itself once the reader is back.
class PcscReader final : public CardReader {
public:
    using Millis = std::chrono::milliseconds;

    struct Settings {
        std::string library = "libpcsclite.so.1";
        Millis poll_limit{250};        // the longest a poll waits for the worker
        Millis first_poll_limit{3000}; // the first poll also loads the library and connects to the service
    };

    PcscReader() : PcscReader(Settings{}) {}
    explicit PcscReader(Settings settings);
    ~PcscReader() override;
    PcscReader(const PcscReader&) = delete;
    PcscReader& operator=(const PcscReader&) = delete;

    std::int16_t get_smart_card_uid(Buffer& buffer) override;

    // Whether the service answers and lists at least one reader.
    [[nodiscard]] bool reader_present();

    struct Shared;

private:
    Settings settings_;
    std::shared_ptr<Shared> shared_;
    std::thread worker_;
    bool first_poll_ = true;
};
