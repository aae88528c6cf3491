// The PC/SC reader against a real pcscd with the virtual reader driver vpcd and a virtual card, all
// started here on loopback, in a test bed of their own, and stopped by their process ids.
#include "stamping/PcscReader.h"
#include "core/ErrorNumber.h"
#include "pcsc/PcscTestBed.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using pcsc_test::PcscTestBed;

const std::string idm = "012E4C1B3A5F6D7E";

std::optional<std::string> poll(PcscReader& reader) {
    CardReader::Buffer buffer{};
    if (reader.get_smart_card_uid(buffer) != 0) {
        return std::nullopt;
    }
    return std::string(buffer.data());
}

// Polls every 100 ms until the poll's answer is `want`; returns the time it took, or nullopt at the limit.
std::optional<std::chrono::milliseconds> poll_until(PcscReader& reader, const std::optional<std::string>& want,
                                                    std::chrono::milliseconds limit) {
    const auto start = Clock::now();
    while (Clock::now() - start < limit) {
        if (poll(reader) == want) {
            return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
        }
        std::this_thread::sleep_for(100ms);
    }
    return std::nullopt;
}

class PcscReaderReal : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string why = PcscTestBed::missing(); !why.empty()) {
            GTEST_SKIP() << why;
        }
        bed_ = std::make_unique<PcscTestBed>();
    }
    void TearDown() override { bed_.reset(); }

    // Starts pcscd with the virtual readers ("vpcd") or with none ("none").
    void start_pcscd(const std::string& config) { ASSERT_EQ(bed_->start(config == "vpcd"), ""); }
    void stop_pcscd() { bed_->stop(); }
    void put_card(double slow_seconds = 0) { ASSERT_EQ(bed_->put_card(idm, slow_seconds), ""); }
    void take_card() { bed_->take_card(); }

    std::unique_ptr<PcscTestBed> bed_;
};

TEST_F(PcscReaderReal, CardArrivesAndLeavesAndAPollWithoutACardIsQuick) {
    start_pcscd("vpcd");
    PcscReader reader;
    EXPECT_TRUE(reader.reader_present());
    EXPECT_EQ(poll(reader), std::nullopt);

    const int polls = 50;
    const auto start = Clock::now();
    for (int i = 0; i < polls; ++i) {
        EXPECT_EQ(poll(reader), std::nullopt);
    }
    const auto per_poll = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / polls;
    std::printf("one PC/SC poll without a card: %.2f ms\n", per_poll);
    EXPECT_LT(per_poll, 250.0); // never longer than the poll's own limit

    put_card();
    // The card is read as it arrives, and waits to be taken without waiting for a poll.
    const auto waiting_from = Clock::now();
    while (!reader.card_waiting() && Clock::now() - waiting_from < 2s) {
        std::this_thread::sleep_for(1ms);
    }
    ASSERT_TRUE(reader.card_waiting()) << "the card was not read within 2 s";
    std::printf("card waiting %.1f ms after it connected\n",
                std::chrono::duration<double, std::milli>(Clock::now() - bed_->card_connected_at()).count());
    EXPECT_EQ(poll(reader), idm);
    EXPECT_FALSE(reader.card_waiting());
    // A card left lying is offered again a second after it was taken, not at every poll.
    EXPECT_EQ(poll(reader), std::nullopt);
    EXPECT_TRUE(poll_until(reader, idm, 2s));

    take_card();
    EXPECT_TRUE(poll_until(reader, std::nullopt, 2s));
}

TEST_F(PcscReaderReal, ServiceStoppedAndStartedAgainIsNoCardMeanwhileAndReadsWithinTwoSeconds) {
    start_pcscd("vpcd");
    PcscReader reader;
    put_card();
    ASSERT_TRUE(poll_until(reader, idm, 2s));

    stop_pcscd();
    take_card();
    for (int i = 0; i < 5; ++i) {
        const auto start = Clock::now();
        EXPECT_EQ(poll(reader), std::nullopt); // neither an error nor a hang
        EXPECT_LT(Clock::now() - start, 1s);
    }

    start_pcscd("vpcd");
    put_card();
    const auto back = poll_until(reader, idm, 2s);
    ASSERT_TRUE(back) << "reading did not resume within 2 s of the reader being back";
    std::printf("card read %lld ms after pcscd and the card were back\n", static_cast<long long>(back->count()));
}

TEST_F(PcscReaderReal, NoReaderAtAllIsNoCard) {
    start_pcscd("none");
    PcscReader reader;
    EXPECT_FALSE(reader.reader_present());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(poll(reader), std::nullopt);
    }
}

TEST_F(PcscReaderReal, ASlowCardPulledMidReadNeverHoldsUpAPoll) {
    start_pcscd("vpcd");
    PcscReader reader;
    ASSERT_EQ(poll(reader), std::nullopt);
    put_card(1.5);
    for (int i = 0; i < 4; ++i) {
        const auto start = Clock::now();
        EXPECT_EQ(poll(reader), std::nullopt);
        // The first poll waits for its read up to the limit; the next ones find it still running and go on.
        // None waits for the card's 1.5 s answer (the bound leaves room for a loaded machine).
        const auto took = Clock::now() - start;
        EXPECT_LT(took, 1s) << "poll " << i;
        std::printf("poll %d beside a slow card: %.1f ms\n", i,
                    std::chrono::duration<double, std::milli>(took).count());
        std::this_thread::sleep_for(100ms);
    }
    take_card(); // while its answer is still pending
    EXPECT_TRUE(poll_until(reader, std::nullopt, 3s));
    put_card();
    EXPECT_TRUE(poll_until(reader, idm, 4s));
}

TEST_F(PcscReaderReal, MissingServiceOrLibraryAtTheFirstPollIsTheMissingComponent) {
    // One reader at a time: pcsc-lite keeps one table of reader states for the whole process, which two
    // contexts on two threads would both write.
    {
        // No pcscd at all (the machine's own, if any, is not this bed's). The first poll once the reader's thread
        // has tried is the one that tells.
        PcscReader reader;
        EXPECT_FALSE(reader.reader_present());
        EXPECT_FALSE(reader.card_waiting());
        CardReader::Buffer buffer{};
        try {
            reader.get_smart_card_uid(buffer);
            ADD_FAILURE() << "no error without pcscd";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), ErrorNumber::FileNotFound);
        }

        PcscReader::Settings settings;
        settings.library = "libpcsclite-not-there.so.1";
        PcscReader without_library(settings);
        EXPECT_FALSE(without_library.reader_present());
        try {
            without_library.get_smart_card_uid(buffer);
            ADD_FAILURE() << "no error without the library";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), ErrorNumber::FileNotFound);
        }
    }

    // Once a poll has reached the service, its absence later is no card.
    start_pcscd("vpcd");
    PcscReader later;
    ASSERT_TRUE(later.reader_present()); // its thread has reached the service
    ASSERT_EQ(poll(later), std::nullopt);
    stop_pcscd();
    EXPECT_EQ(poll(later), std::nullopt);
}

// The reader's thread ends with the reader, whether it waits for a card or reads one lying there.
TEST_F(PcscReaderReal, TheReadersThreadEndsWithTheReader) {
    const auto threads = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                             std::filesystem::directory_iterator{});
    };
    start_pcscd("vpcd");
    const auto before = threads();
    for (const bool card : {false, true}) {
        auto reader = std::make_unique<PcscReader>();
        EXPECT_TRUE(reader->reader_present());
        if (card) {
            put_card();
            EXPECT_TRUE(poll_until(*reader, idm, 2s));
        }
        EXPECT_EQ(threads(), before + 1);
        reader.reset();
        EXPECT_EQ(threads(), before) << (card ? "with a card" : "without a card");
        take_card();
    }
}

} // namespace
