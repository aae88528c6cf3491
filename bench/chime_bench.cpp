// From a card's arrival on the PC/SC reader to the chime's play call, over 100 touches: the recorder as the
// window program runs it with --reader auto (its 100 ms timer; the PC/SC reader's own thread waiting for
// cards; the keyboard reader beside it) on a real pcscd with the virtual reader and card of the tests, in
// their private test bed. Beside it, in the same run, the floor: from the same arrival to a bare
// SCardGetStatusChange client seeing the card (the time pcscd itself takes to notice it). Then the keyboard
// reader: from the line's last key to the chime. Measures only; nothing here passes or fails on a time.
// Needs root (the bed's mount namespace), pcscd and vsmartcard-vpcd.
//
//   chime_bench [touches]
#include "BenchTiming.h"

#include "app/recorder/Recorder.h"
#include "core/Cp932.h"
#include "pcsc/PcscTestBed.h"
#include "stamping/CombinedReader.h"
#include "stamping/KeyboardReader.h"
#include "stamping/PcscReader.h"
#include "support/FakeServices.h"

#include <PCSC/winscard.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <fstream>
#include <mutex>
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

// A bare PC/SC client on a thread of its own: the moment SCardGetStatusChange reports a card on the first
// reader, and whether one lies there. What pcscd itself takes to notice a card: the floor of any reader.
class FloorClient {
public:
    FloorClient() : thread_([this] { watch(); }) {}
    ~FloorClient() {
        stop_ = true;
        thread_.join();
    }
    FloorClient(const FloorClient&) = delete;
    FloorClient& operator=(const FloorClient&) = delete;

    std::atomic<Steady::rep> seen_at{0};
    std::atomic<bool> present{false};

private:
    void watch() {
        SCARDCONTEXT ctx = 0;
        if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &ctx) != SCARD_S_SUCCESS) {
            return;
        }
        char names[1024];
        DWORD size = sizeof names;
        if (SCardListReaders(ctx, nullptr, names, &size) == SCARD_S_SUCCESS) {
            SCARD_READERSTATE state{};
            state.szReader = names; // the first reader
            state.dwCurrentState = SCARD_STATE_UNAWARE;
            while (!stop_) {
                const LONG rv = SCardGetStatusChange(ctx, 100, &state, 1);
                if (rv == SCARD_S_SUCCESS) {
                    const bool now_present = (state.dwEventState & SCARD_STATE_PRESENT) != 0;
                    if (now_present && !present) {
                        seen_at = Steady::now().time_since_epoch().count();
                    }
                    present = now_present;
                    state.dwCurrentState = state.dwEventState & ~SCARD_STATE_CHANGED;
                } else if (rv != SCARD_E_TIMEOUT) {
                    break;
                }
            }
        }
        SCardReleaseContext(ctx);
    }

    std::atomic<bool> stop_{false};
    std::thread thread_;
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
    return v[static_cast<std::size_t>(std::lround(p * static_cast<double>(v.size() - 1)))];
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
    FloorClient floor;
    SystemClock clock;
    FakeUi ui;
    PcscReader pcsc;
    KeyboardReader keyboard;
    CombinedReader reader(keyboard, pcsc); // --reader auto
    TimedSounds sounds;
    FakeDrives drives;
    Options options;
    options.root = root;
    Recorder rec(Services{clock, ui, reader, sounds, drives}, options);
    rec.start();

    // The window's timer, on a thread of its own; the window's thread is this mutex: the keys of the keyboard
    // reader reach the recorder between two ticks, as the window's key events do.
    std::mutex window_thread;
    std::atomic<bool> running{true};
    std::thread timer([&] {
        for (auto next = Steady::now(); running; next += 100ms) {
            std::this_thread::sleep_until(next);
            std::lock_guard lock(window_thread);
            if (rec.polling() && !rec.ended()) {
                rec.timer_tick();
            }
        }
    });

    std::vector<double> ms;
    std::vector<double> floor_ms;
    std::mt19937 dice(20261208);
    std::uniform_int_distribution<int> phase_ms(0, 999);
    for (int i = 0; i < touches; ++i) {
        // A member comes at any moment of the clock's second.
        std::this_thread::sleep_for(std::chrono::milliseconds(phase_ms(dice)));
        const int before = sounds.calls;
        const Steady::rep seen_before = floor.seen_at;
        if (const std::string failed = bed.put_card(idm); !failed.empty()) {
            std::fprintf(stderr, "%s\n", failed.c_str());
            break;
        }
        if (!wait_until([&] { return sounds.calls > before && floor.seen_at != seen_before; }, 5s)) {
            std::fprintf(stderr, "touch %d: no chime within 5 s\n", i);
            break;
        }
        const Steady::time_point chimed{Steady::duration(sounds.at.load())};
        const Steady::time_point seen{Steady::duration(floor.seen_at.load())};
        ms.push_back(std::chrono::duration<double, std::milli>(chimed - bed.card_connected_at()).count());
        floor_ms.push_back(std::chrono::duration<double, std::milli>(seen - bed.card_connected_at()).count());
        bed.take_card();
        wait_until([&] { return !floor.present; }, 5s); // pcscd has seen the card leave
    }

    std::vector<double> key_ms;
    for (int i = 0; i < touches; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(phase_ms(dice)));
        const int before = sounds.calls;
        Steady::time_point last_key;
        {
            std::lock_guard lock(window_thread);
            auto at = std::chrono::duration_cast<KeyboardReader::Millis>(Steady::now().time_since_epoch());
            for (const char ch : idm + "\r") {
                keyboard.key(static_cast<unsigned char>(ch), at);
            }
            last_key = Steady::now();
        }
        if (!wait_until([&] { return sounds.calls > before; }, 5s)) {
            std::fprintf(stderr, "key touch %d: no chime within 5 s\n", i);
            break;
        }
        const Steady::time_point chimed{Steady::duration(sounds.at.load())};
        key_ms.push_back(std::chrono::duration<double, std::milli>(chimed - last_key).count());
    }
    running = false;
    timer.join();
    fs::remove_all(root);
    if (ms.empty() || key_ms.empty()) {
        return 1;
    }
    for (const double p : {0.5, 0.95}) {
        const char* which = p == 0.5 ? "median" : "95th percentile";
        std::printf("| card arrival to chime, PC/SC reader, %zu touches: %s | %s ms | the same arrival to a bare "
                    "SCardGetStatusChange client seeing the card (the floor) | %s ms | %s |\n",
                    ms.size(), which, bench::figure(percentile(ms, p)).c_str(),
                    bench::figure(percentile(floor_ms, p)).c_str(),
                    bench::figure(percentile(ms, p) / percentile(floor_ms, p)).c_str());
    }
    for (const double p : {0.5, 0.95}) {
        std::printf("| keyboard reader, the line's last key to chime, %zu touches: %s | %s ms | the timer interval | "
                    "100 ms | %s |\n",
                    key_ms.size(), p == 0.5 ? "median" : "95th percentile",
                    bench::figure(percentile(key_ms, p)).c_str(), bench::figure(percentile(key_ms, p) / 100).c_str());
    }
    std::vector<double> above(ms.size());
    for (std::size_t i = 0; i < ms.size(); ++i) {
        above[i] = ms[i] - floor_ms[i];
    }
    std::printf("# chime: from the virtual card's connection to vpcd to Sounds::play, minimum %s ms, maximum %s ms; "
                "above the floor, touch by touch: median %s ms, 95th percentile %s ms, maximum %s ms\n",
                bench::figure(*std::min_element(ms.begin(), ms.end())).c_str(),
                bench::figure(*std::max_element(ms.begin(), ms.end())).c_str(),
                bench::figure(percentile(above, 0.5)).c_str(), bench::figure(percentile(above, 0.95)).c_str(),
                bench::figure(*std::max_element(above.begin(), above.end())).c_str());
    return static_cast<int>(ms.size()) == touches && static_cast<int>(key_ms.size()) == touches ? 0 : 1;
}
