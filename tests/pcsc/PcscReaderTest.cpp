// The PC/SC reader against a real pcscd with the virtual reader driver vpcd and a virtual card, all
// started here on loopback and stopped by their process ids.
#include "stamping/PcscReader.h"
#include "core/ErrorNumber.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const char* const pcscd_binary = "/usr/sbin/pcscd";
const char* const vpcd_driver = "/usr/lib/pcsc/drivers/serial/libifdvpcd.so";
const char* const vpcd_config = "/etc/reader.conf.d/vpcd";
const std::string idm = "012E4C1B3A5F6D7E";

// A child process with its output in a file; stopped and reaped by its pid.
class Child {
public:
    Child(const std::vector<std::string>& argv, const fs::path& output) {
        pid_ = ::fork();
        if (pid_ == 0) {
            const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(fd, 1);
            ::dup2(fd, 2);
            std::vector<char*> args;
            for (const auto& a : argv) {
                args.push_back(const_cast<char*>(a.c_str()));
            }
            args.push_back(nullptr);
            ::execv(args[0], args.data());
            ::_exit(127);
        }
    }
    ~Child() { stop(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    void stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
};

std::string read_file(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool wait_for_text(const fs::path& file, const std::string& text, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        if (read_file(file).find(text) != std::string::npos) {
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

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

// True when the pid file names a live pcscd: one that someone else started, which must be left alone.
bool other_pcscd_running() {
    std::ifstream in("/run/pcscd/pcscd.pid");
    pid_t pid = 0;
    if (!(in >> pid) || pid <= 0 || ::kill(pid, 0) != 0) {
        return false;
    }
    return read_file("/proc/" + std::to_string(pid) + "/comm").rfind("pcscd", 0) == 0;
}

class PcscReaderReal : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(pcscd_binary) || !fs::exists(vpcd_driver) || !fs::exists(vpcd_config)) {
            GTEST_SKIP() << "pcscd or vpcd (Debian pcscd, vsmartcard-vpcd) is not installed";
        }
        if (other_pcscd_running()) {
            GTEST_SKIP() << "a pcscd that this test did not start is running";
        }
        dir_ = fs::temp_directory_path() / ("pcsc-test-" + std::to_string(::getpid()));
        fs::create_directories(dir_ / "vpcd");
        fs::create_directories(dir_ / "none");
        fs::copy_file(vpcd_config, dir_ / "vpcd" / "vpcd", fs::copy_options::overwrite_existing);
    }
    void TearDown() override {
        card_.reset();
        pcscd_.reset();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // Starts pcscd with only the readers of one configuration folder ("vpcd" or "none").
    void start_pcscd(const std::string& config) {
        // A killed pcscd leaves its socket and pid file behind, and a new one then refuses to start.
        fs::remove("/run/pcscd/pcscd.comm");
        fs::remove("/run/pcscd/pcscd.pid");
        const fs::path log = dir_ / ("pcscd-" + std::to_string(++starts_) + ".log");
        pcscd_ = std::make_unique<Child>(
            std::vector<std::string>{pcscd_binary, "--foreground", "--debug", "-c", (dir_ / config).string()}, log);
        ASSERT_TRUE(wait_for_text(log, "daemon ready", 10s)) << read_file(log);
    }
    void stop_pcscd() { pcscd_.reset(); }

    void put_card(double slow_seconds = 0) {
        const fs::path log = dir_ / "card.log";
        card_ = std::make_unique<Child>(std::vector<std::string>{"/usr/bin/python3", TR_VIRTUAL_CARD, "--idm", idm,
                                                                 "--slow", std::to_string(slow_seconds)},
                                        log);
        ASSERT_TRUE(wait_for_text(log, "card connected", 5s)) << read_file(log);
    }
    void take_card() { card_.reset(); }

    fs::path dir_;
    int starts_ = 0;
    std::unique_ptr<Child> pcscd_;
    std::unique_ptr<Child> card_;
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
    const auto arrived = poll_until(reader, idm, 2s);
    ASSERT_TRUE(arrived) << "the card was not read within 2 s";
    std::printf("card read %lld ms after it connected\n", static_cast<long long>(arrived->count()));
    EXPECT_EQ(poll(reader), idm); // a card left lying is read at every poll

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
    // No pcscd at all.
    PcscReader reader;
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

    // Once a poll has reached the service, its absence later is no card.
    start_pcscd("vpcd");
    PcscReader later;
    ASSERT_EQ(poll(later), std::nullopt);
    stop_pcscd();
    EXPECT_EQ(poll(later), std::nullopt);
}

} // namespace
