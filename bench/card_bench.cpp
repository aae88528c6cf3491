// One poll of the card reader, get_card_idm, on a recorder with a full member table (10,001 slots) and fake
// services: without a card, and with the card of the member in the last slot (the stamp is logged; the
// log is synced, and once more without the sync). Beside them: a bare write and fdatasync of one line to a
// file in the same folder, the same write without the sync, and one call of an empty virtual function.
#include "BenchTiming.h"

#include "app/recorder/CardTouches.h"
#include "support/FakeServices.h"
#include "support/RecorderParts.h"

#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace {

constexpr const char* last_idm = "01FF000000002710"; // slot 10000

struct Empty {
    virtual ~Empty() = default;
    virtual void call() = 0;
};
// Kept out of line and opaque, so that every call is a real indirect call the optimiser cannot remove.
struct EmptyImpl final : Empty {
    [[gnu::noinline]] void call() override { asm volatile(""); }
};

std::unique_ptr<TestRecorder> full_recorder(const fs::path& root) {
    auto t = std::make_unique<TestRecorder>(root);
    Recorder& rec = *t->rec;
    for (int i = 0; i < MemberTable::slot_count; ++i) {
        auto& slot = RecorderParts::lists(rec).members().slot(i);
        slot.code = std::to_string(100000 + i);
        slot.name = "会員 " + std::to_string(i);
        char idm[17];
        std::snprintf(idm, sizeof idm, "01FF%012X", i);
        slot.idm = idm;
    }
    use_store(rec, "T01");
    RecorderParts::panel(rec).choose_mode(StampMode::ShiftIn);
    (void)RecorderParts::panel(rec).show_second(DateTime{2016, 12, 8, 9, 0, 0});
    (void)RecorderParts::card(rec).open_log();
    return t;
}

// Per call in microseconds: the median of `runs` rounds of `calls` calls each.
template <class F> double micros_per_call(int runs, int calls, F&& call) {
    const auto t = bench::time_runs(runs, [&] {
        for (int i = 0; i < calls; ++i) {
            call();
        }
    });
    return t.median_ms * 1000.0 / calls;
}

void card_poll(TestRecorder& t, bool with_card, bool sync) {
    t.reader.present = with_card;
    t.reader.idm = last_idm;
    CardTouches& card = RecorderParts::card(*t.rec);
    card.sync_log(sync);
    Panel& panel = RecorderParts::panel(*t.rec); // in, out, in: no read is a repeat
    panel.choose_mode(panel.mode() == StampMode::ShiftIn ? StampMode::ShiftOut : StampMode::ShiftIn);
    card.poll_card_and_run_clock_jobs();
    t.sounds.played.clear();
}

// A line of the log's length appended to a file of its own in the same folder.
class BareAppend {
public:
    explicit BareAppend(const fs::path& file)
        : fd_(::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644)) {}
    ~BareAppend() { ::close(fd_); }
    BareAppend(const BareAppend&) = delete;
    BareAppend& operator=(const BareAppend&) = delete;
    void append(bool sync) const {
        if (::write(fd_, line_.data(), line_.size()) != static_cast<ssize_t>(line_.size()) ||
            (sync && ::fdatasync(fd_) != 0)) {
            std::fprintf(stderr, "bare append failed\n");
        }
    }

private:
    int fd_;
    std::string line_ = "T01,2026/12/8 9:00,110000,会員 10000,1,,,01FF00000000270F\r\n";
};

// Rounds of the work and of its reference taken in turn, so that both see the same load of the machine.
template <class A, class B> std::pair<double, double> interleaved(int calls, A&& work, B&& reference) {
    std::vector<double> a;
    std::vector<double> b;
    for (int round = 0; round < 5; ++round) {
        a.push_back(micros_per_call(1, calls, work));
        b.push_back(micros_per_call(1, calls, reference));
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return {a[2], b[2]};
}

} // namespace

int main(int argc, char** argv) {
    const int sync_calls = argc > 1 ? std::atoi(argv[1]) : 200;
    const fs::path dir = fs::temp_directory_path() / ("card_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir / "zerbanto");
    auto t = full_recorder(dir);

    EmptyImpl impl;
    Empty* volatile target = &impl;
    const BareAppend bare(dir / "zerbanto" / "bare.csv");
    const auto [no_card, no_op] = interleaved(
        20'000, [&] { card_poll(*t, false, true); }, [&] { target->call(); });
    const auto [card_sync, write_sync] = interleaved(
        sync_calls, [&] { card_poll(*t, true, true); }, [&] { bare.append(true); });
    const auto [card_nosync, write_only] = interleaved(
        20 * sync_calls, [&] { card_poll(*t, true, false); }, [&] { bare.append(false); });
    const long lines = bench::count_lines(dir / "zerbanto" / "KLOG_T01.csv");
    const bool logged = lines == 5L * sync_calls * 21 && !t->rec->ended() && t->rec->card().read_shown() &&
                        t->rec->card().read_shown()->name == "会員 10000";

    bench::print_compare("get_card_idm, no card", no_card, "us", "no-op virtual call", no_op, "us");
    bench::print_compare("get_card_idm, last slot of 10,001, fdatasync", card_sync, "us", "bare write + fdatasync",
                         write_sync, "us");
    bench::print_compare("get_card_idm, last slot of 10,001, no sync", card_nosync, "us", "bare write", write_only,
                         "us");
    std::printf("# card: median of 5 rounds, each round of work and reference in turn; %d calls with the sync, %d "
                "without, %ld log lines (%s); stamps alternately in and out\n",
                5 * sync_calls, 100 * sync_calls, lines, logged ? "one a call" : "NOT one a call");
    fs::remove_all(dir);
    return logged ? 0 : 1;
}
