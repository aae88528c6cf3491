// From a card's arrival on the PC/SC reader to the chime's play call, over 100 touches: the recorder as the
// window program runs it (its 100 ms timer, one poll of the reader a second) on a real pcscd with the
// virtual reader and card of the tests, in their private test bed. Measures only; nothing here passes or
// fails on a time. Needs root (the bed's mount namespace), pcscd and vsmartcard-vpcd.
//
//   chime_bench [touches]
#include "BenchTiming.h"

#include "app/Recorder.h"
#include "core/Cp932.h"
#include "pcsc/PcscTestBed.h"
#include "stamping/PcscReader.h"
#include "support/FakeServices.h"

#include <atomic>
#include <fstream>
#include <random>
#include <thread>

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

const std::string idm = "012E4C1B3A5F6D7E";

// The time of the last play call, as the chime would start, and how many calls there were.
class TimedSounds final : public Sounds {
public:
    void play(std::string_view) override {
        at.store(Steady::now().time_since_epoch().count());
        ++calls;
    }
    std::atomic<Steady::rep> at{0};
    std::atomic<int> calls{0};
};

// The PC/SC reader, counting the polls that found no card (so that a card's leaving is seen, not waited for).
class WatchedReader final : public CardReader {
public:
    std::int16_t get_smart_card_uid(Buffer& buffer) override {
        const std::int16_t result = pcsc.get_smart_card_uid(buffer);
        if (result != 0) {
            ++empty_polls;
        }
        return result;
    }
    PcscReader pcsc;
    std::atomic<int> empty_polls{0};
};

void write_store(const fs::path& root) {
    fs::create_directories(root / "zerbanto");
    std::ofstream(root / "zerbanto" / "action01.txt", std::ios::binary)
        << cp932::from_utf8("会社名= Bench\r\n店舗CD = T01\r\n店舗名 = 第一店\r\n");
    std::ofstream(root / "zerbanto" / "E99_member.csv", std::ios::binary)
        << cp932::from_utf8("99999,2026/12/01\r\n123,山田 花子," + idm + "\r\n");
}

template <class Condition> bool wait_until(Condition done, std::chrono::milliseconds limit) {
    const auto end = Steady::now() + limit;
    while (!done()) {
        if (Steady::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5)];
}

} // namespace

int main(int argc, char** argv) {
    const int touches = argc > 1 ? std::atoi(argv[1]) : 100;
    if (const std::string why = pcsc_test::PcscTestBed::missing(); !why.empty()) {
        std::printf("# chime: skipped: %s\n", why.c_str());
        return 0;
    }
    pcsc_test::PcscTestBed bed;
    if (const std::string failed = bed.start(); !failed.empty()) {
        std::fprintf(stderr, "%s\n", failed.c_str());
        return 1;
    }
    const fs::path root = fs::temp_directory_path() / ("chime_bench_" + std::to_string(::getpid()));
    write_store(root);
    SystemClock clock;
    FakeUi ui;
    WatchedReader reader;
    TimedSounds sounds;
    FakeDrives drives;
    Options options;
    options.root = root;
    Recorder rec(Services{clock, ui, reader, sounds, drives}, options);
    rec.start();

    // The window's timer, on a thread of its own: the recorder is touched by nothing else meanwhile.
    std::atomic<bool> running{true};
    std::thread timer([&] {
        for (auto next = Steady::now(); running; next += 100ms) {
            std::this_thread::sleep_until(next);
            if (rec.state().form.Timer1 && !rec.ended()) {
                rec.timer_tick();
            }
        }
    });

    std::vector<double> ms;
    std::mt19937 dice(20261208);
    std::uniform_int_distribution<int> phase_ms(0, 999);
    for (int i = 0; i < touches; ++i) {
        // A member comes at any moment of the poll's second, not just after a poll.
        std::this_thread::sleep_for(std::chrono::milliseconds(phase_ms(dice)));
        const int before = sounds.calls;
        if (const std::string failed = bed.put_card(idm); !failed.empty()) {
            std::fprintf(stderr, "%s\n", failed.c_str());
            break;
        }
        if (!wait_until([&] { return sounds.calls > before; }, 5s)) {
            std::fprintf(stderr, "touch %d: no chime within 5 s\n", i);
            break;
        }
        const Steady::time_point chimed{Steady::duration(sounds.at.load())};
        ms.push_back(std::chrono::duration<double, std::milli>(chimed - bed.card_connected_at()).count());
        bed.take_card();
        const int empty = reader.empty_polls;
        wait_until([&] { return reader.empty_polls > empty; }, 5s); // the recorder has seen the card leave
    }
    running = false;
    timer.join();
    fs::remove_all(root);
    if (ms.empty()) {
        return 1;
    }
    std::printf(
        "| card arrival to chime, PC/SC reader, %zu touches: median | %s ms | the poll interval | 1000 ms | %s |\n",
        ms.size(), bench::figure(percentile(ms, 0.5)).c_str(), bench::figure(percentile(ms, 0.5) / 1000).c_str());
    std::printf("| card arrival to chime, PC/SC reader, %zu touches: 95th percentile | %s ms | the poll interval | "
                "1000 ms | %s |\n",
                ms.size(), bench::figure(percentile(ms, 0.95)).c_str(),
                bench::figure(percentile(ms, 0.95) / 1000).c_str());
    std::printf("# chime: from the virtual card's connection to vpcd to Sounds::play, minimum %s ms, maximum %s ms\n",
                bench::figure(*std::min_element(ms.begin(), ms.end())).c_str(),
                bench::figure(*std::max_element(ms.begin(), ms.end())).c_str());
    return static_cast<int>(ms.size()) == touches ? 0 : 1;
}
