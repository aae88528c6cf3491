// A month of a 40-member store through the simulator, one run per stretch between restarts, checked against a
// small model of the recorder written here from its rules: every log line, and the board at every restart,
// at random moments and at the end of every run.

#include "core/Cp932.h"
#include "support/Dice.h"
#include "support/ReferenceRecorder.h"
#include "support/SimRun.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <netinet/in.h>
#include <optional>
#include <set>
#include <sys/socket.h>
#include <tuple>
#include <unistd.h>

namespace {

using namespace std::chrono;
using reference::Moment;

constexpr std::uint64_t default_seed = 20260601;
constexpr int member_count = 40;
constexpr int day_count = 30;
constexpr int most_planned = 22;

// A port on loopback that refuses every connection: bound, never listening, held for the whole test. The
// recorder runs connected to it, so it loads the shift plan and member list it finds on disk.
class RefusingPort {
public:
    RefusingPort() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&a), len) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
            ADD_FAILURE() << "no port on loopback";
        }
        port_ = ntohs(a.sin_port);
    }
    ~RefusingPort() { ::close(fd_); }
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    [[nodiscard]] int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

// One card touch of the month. An unknown card is answered "いいえ" (register 0) or registered with a code.
struct Touch {
    Moment poll;
    std::string idm;
    int mode = 1;         // the mode the member means to stamp
    bool mistake = false; // the member does not look at the mode buttons
    int repeat_after = 0; // seconds until the same card is touched again, 0 for none
    int polls = 1;        // more: the card is left on the reader for that many polls
    bool exact = false;   // read at this very second, not moved to the half minute; shown right after
    int register_code = 0;
};

// The stretches the recorder runs: from a start to a close.
struct Stretch {
    Moment start;
    Moment close;
};

struct Month {
    reference::Store store;
    std::vector<Touch> touches;
    std::vector<Stretch> runs;
};

std::vector<reference::Member> make_members() {
    const std::array<const char*, 10> families{"佐藤", "鈴木", "高橋",   "田中", "伊藤",
                                               "渡辺", "山本", "長谷川", "小林", "佐々木"};
    const std::array<const char*, 2> givens{"花子", "真由美"};
    std::vector<reference::Member> members;
    for (int i = 0; i < member_count; ++i) {
        // Members ten apart differ only in the width of the space: two names, two rows.
        const std::string space = i / 10 % 2 == 0 ? " " : "　";
        std::array<char, 24> idm{};
        std::snprintf(idm.data(), idm.size(), "012E4C1B3A5F%04X", 0x1000 + i * 37);
        members.push_back(
            {std::to_string(101 + i),
             families[static_cast<std::size_t>(i % 10)] + space + givens[static_cast<std::size_t>(i / 20)],
             idm.data()});
    }
    return members;
}

void add_stay(std::vector<Touch>& out, Dice& dice, const std::string& idm, Moment in, Moment leave) {
    const auto touch = [&](Moment t, int mode) {
        Touch x{t, idm, mode};
        x.mistake = dice.chance(3);
        x.repeat_after = dice.chance(8) ? dice.between(5, 22) : 0;
        x.polls = !x.repeat_after && dice.chance(3) ? 3 : 1;
        out.push_back(x);
    };
    touch(in, 1);
    if (dice.chance(4)) {
        touch(in + minutes{dice.between(5, 15)}, 1); // not sure the first touch counted
    }
    if (dice.chance(25)) {
        const Moment pause = in + (leave - in) / 2;
        touch(pause, 2);
        touch(pause + minutes{dice.between(20, 60)}, 1);
    }
    if (!dice.chance(4)) { // some forget to stamp out
        touch(leave, 2);
    }
}

void plan_day(Month& m, Dice& dice, int day) {
    const Moment midnight = reference::moment(2026, 6, 1 + day);
    const std::string key = reference::yymmdd(midnight);
    std::vector<reference::PlanRow>& plan = m.store.plan[key];
    std::set<int> working;
    for (int i = 0; i < member_count && plan.size() < most_planned; ++i) {
        if (!dice.chance(55)) {
            continue;
        }
        const int start = dice.between(12, 42) * 30;
        const int length = dice.between(8, 18) * 30;
        const auto& member = m.store.members[static_cast<std::size_t>(i)];
        plan.push_back({member.name, reference::hm(start), reference::hm(start + length)});
        working.insert(i);
        if (dice.chance(93)) {
            add_stay(m.touches, dice, member.idm, midnight + minutes{start + dice.between(-10, 5)},
                     midnight + minutes{start + length + dice.between(-5, 25)});
        }
    }
    for (int extra = 0; extra < 2; ++extra) { // members who come without a plan
        const int i = dice.between(0, member_count - 1);
        if (working.insert(i).second) {
            const int start = dice.between(14, 40) * 30;
            add_stay(m.touches, dice, m.store.members[static_cast<std::size_t>(i)].idm, midnight + minutes{start},
                     midnight + minutes{start + dice.between(4, 12) * 30});
        }
    }
    if (dice.chance(60)) { // a card that is not in the member list, touched in and out
        std::array<char, 24> idm{};
        std::snprintf(idm.data(), idm.size(), "FFFF00000000%04d", day);
        const int code = dice.chance(40) ? 0 : dice.chance(30) ? 101 + dice.between(0, member_count - 1) : 900 + day;
        const Moment in = midnight + minutes{dice.between(8 * 60, 20 * 60)};
        for (const auto& [t, mode] : {std::pair{in, 1}, std::pair{in + minutes{dice.between(60, 360)}, 2}}) {
            Touch x{t, idm.data(), mode};
            x.register_code = code;
            m.touches.push_back(x);
        }
    }
}

// Restarts: none, one or two a day, each after the recorder was off for a few minutes.
void plan_runs(Month& m, Dice& dice, Moment first, Moment last) {
    std::vector<Stretch> gaps;
    for (int day = 0; day < day_count; ++day) {
        const int count = dice.chance(30) ? 0 : dice.chance(70) ? 1 : 2;
        for (int k = 0; k < count; ++k) {
            const Moment off = first + days{day} + minutes{dice.between(10, 23 * 60 + 40)} + seconds{45};
            gaps.push_back({off, floor<minutes>(off) + minutes{dice.between(2, 40)} + seconds{10}});
        }
    }
    // Two mornings restart right before and right at 5:00, with touches around the reset.
    for (const auto& [day, off, back] : {std::tuple{9, 19 * 60 + 15, 110}, std::tuple{19, 9 * 60 + 15, 0}}) {
        const Moment five = first + days{day + 1} - minutes{30} - seconds{10};
        gaps.push_back({five - seconds{off}, five - seconds{back}});
        for (const int s : {-29, 31, 91}) {
            m.touches.push_back(
                {five + seconds{s}, m.store.members[static_cast<std::size_t>(dice.between(0, 39))].idm, 1});
        }
    }
    // Two mornings a card lies on the reader through 5:00:00: the reset still comes first.
    for (const int day : {14, 24}) {
        Touch x{first + days{day + 1} - minutes{30} - seconds{12},
                m.store.members[static_cast<std::size_t>(dice.between(0, 39))].idm, 1};
        x.polls = 4;
        x.exact = true;
        m.touches.push_back(x);
    }
    std::sort(gaps.begin(), gaps.end(), [](const Stretch& a, const Stretch& b) { return a.start < b.start; });
    Moment start = first;
    for (const Stretch& g : gaps) {
        if (g.start > start + minutes{5} && g.close + minutes{5} < last) {
            m.runs.push_back({start, g.start});
            start = g.close;
        }
    }
    m.runs.push_back({start, last});
}

// Touches while the recorder is off are dropped (nobody waits for it); two in the same minute are spread out.
void place_touches(Month& m) {
    std::sort(m.touches.begin(), m.touches.end(), [](const Touch& a, const Touch& b) { return a.poll < b.poll; });
    std::vector<Touch> placed;
    std::set<Moment> taken;
    for (Touch t : m.touches) {
        Moment minute = floor<minutes>(t.poll);
        while (!t.exact && taken.count(minute) != 0) {
            minute += minutes{1};
        }
        t.poll = t.exact ? t.poll : minute + seconds{31};
        const bool running = std::any_of(m.runs.begin(), m.runs.end(), [&](const Stretch& r) {
            return floor<minutes>(r.start) < minute && minute < floor<minutes>(r.close);
        });
        if (running) {
            taken.insert(minute);
            taken.insert(floor<minutes>(t.poll + seconds{t.polls}));
            placed.push_back(t);
        }
    }
    std::sort(placed.begin(), placed.end(), [](const Touch& a, const Touch& b) { return a.poll < b.poll; });
    m.touches = placed;
}

Month make_month(Dice& dice) {
    Month m;
    m.store.code = "T01";
    m.store.members = make_members();
    m.store.transfer_seconds = {12 * 3600 + 15 * 60, 1 * 3600 + 30 * 60};
    for (int day = 0; day < day_count; ++day) {
        plan_day(m, dice, day);
    }
    const Moment first = reference::moment(2026, 6, 1, 5, 30, 10);
    plan_runs(m, dice, first, first + days{day_count} - minutes{20} + seconds{35});
    place_touches(m);
    return m;
}

void write_store(const TempRoot& root, const Month& m) {
    root.write_bytes("zerbanto/action01.txt", cp932_lines({"会社名= Corvale", "店舗CD = T01", "店舗名 = 第一店",
                                                           "F転送= 12:15", "F転送= 01:30"}));
    std::string list = cp932::from_utf8("99999,2026/06/01") + "\r\n";
    for (const auto& x : m.store.members) {
        list += cp932::from_utf8(x.code + "," + x.name + "," + x.idm) + "\r\n";
    }
    root.write_bytes("zerbanto/E99_member.csv", list);
    std::string plan = cp932::from_utf8("99999,2026年6月") + "\r\n";
    for (const auto& [day, rows] : m.store.plan) {
        for (const auto& r : rows) {
            plan += cp932::from_utf8(day + "," + r.name + ",A," + r.start + "," + r.leave) + "\r\n";
        }
    }
    root.write_bytes("zerbanto/S01_SHIFT.csv", plan);
}

struct Expected {
    reference::Board board;
    int mode;
    std::string clock;
};

// Writes one run's script while the model goes through the same touches; the board the model expects at
// every "show".
class RunScript {
public:
    RunScript(reference::Recorder& model, Dice& dice) : model_(model), dice_(dice) {}

    void start(Moment t) {
        model_.start(t);
        clock_ = t;
        script_ = "time " + reference::sim_clock(t) + "\nstart\n";
        show();
    }

    void touch(const Touch& x) {
        wait_until(x.poll - seconds{1});
        if (!x.mistake && model_.mode() != x.mode) {
            script_ += x.mode == 1 ? "click cmd_IN\n" : "click cmd_OUT\n";
            model_.click(x.mode);
        }
        if (x.polls > 1 && model_.knows(x.idm)) {
            script_ += "card " + x.idm + "\nwait " + std::to_string(x.polls) + "s\nlift\n";
            for (int i = 0; i < x.polls; ++i) {
                model_.read(x.idm, x.poll + seconds{i});
            }
            clock_ = x.poll + seconds{x.polls - 1};
        } else {
            tap(x, x.poll);
        }
        if (x.repeat_after > 0) {
            wait_until(clock_ + seconds{x.repeat_after - 1});
            tap(x, clock_ + seconds{1});
        }
        if (x.exact || dice_.chance(4)) {
            show();
        }
    }

    void close(Moment t) {
        wait_until(t);
        show();
        script_ += "close\n";
    }

    [[nodiscard]] const std::string& script() const { return script_; }
    [[nodiscard]] const std::vector<Expected>& expected() const { return expected_; }

private:
    void wait_until(Moment t) {
        if (t > clock_) {
            script_ += "wait " + std::to_string((t - clock_).count()) + "s\n";
            clock_ = t;
        }
        model_.advance(t);
    }

    void tap(const Touch& x, Moment poll) {
        if (!model_.knows(x.idm)) {
            script_ +=
                x.register_code == 0 ? "answer no\n" : "answer yes\nkeypad " + digits(x.register_code) + " 登録\n";
        }
        script_ += "tap " + x.idm + "\nwait 1s\n";
        model_.read(x.idm, poll, x.register_code);
        clock_ = poll;
    }

    static std::string digits(int code) {
        std::string out;
        for (const char c : std::to_string(code)) {
            out += std::string(out.empty() ? "" : " ") + c;
        }
        return out;
    }

    void show() {
        script_ += "show\n";
        expected_.push_back({model_.board(), model_.mode(), reference::sim_clock(clock_)});
    }

    reference::Recorder& model_;
    Dice& dice_;
    Moment clock_{};
    std::string script_;
    std::vector<Expected> expected_;
};

std::string log_bytes(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) {
        out += cp932::from_utf8(l) + "\r\n";
    }
    return out;
}

TEST(Soak, AMonthOfFortyMembersMatchesTheModel) {
    const std::uint64_t seed = seed_from_environment("TR_SOAK_SEED", default_seed);
    std::cout << "[soak] seed " << seed << " (set TR_SOAK_SEED to repeat another month)" << std::endl;
    const auto began = steady_clock::now();
    std::optional<UnrecordedRuns> another_month; // only the default month has recorded output
    if (seed != default_seed) {
        another_month.emplace();
    }
    Dice dice(seed);
    const Month month = make_month(dice);
    TempRoot root;
    write_store(root, month);
    RefusingPort server;
    const std::vector<std::string> connected{"--server", "127.0.0.1", "--ftp-port", std::to_string(server.port())};

    reference::Recorder model(month.store);
    std::size_t next = 0;
    int boards = 0;
    for (const Stretch& r : month.runs) {
        RunScript run(model, dice);
        run.start(r.start);
        for (; next < month.touches.size() && month.touches[next].poll < r.close; ++next) {
            run.touch(month.touches[next]);
        }
        run.close(r.close);

        const SimRun sim = run_sim(root.path(), run.script(), connected);
        const std::string where = "run from " + reference::sim_clock(r.start) + " (seed " + std::to_string(seed) + ")";
        ASSERT_EQ(sim.status, 0) << where << "\n" << sim.stderr_text;
        ASSERT_TRUE(sim.of("error").empty()) << where << ": " << sim.of("error")[0].dump();
        for (const auto& msg : sim.of("message")) { // only the refused download of the member list
            EXPECT_EQ(msg["text"], "通信ができない為、前回のメンバーリストを使用します。") << where;
        }
        const auto states = sim.of("state");
        ASSERT_EQ(states.size(), run.expected().size()) << where;
        for (std::size_t i = 0; i < states.size(); ++i) {
            const Expected& e = run.expected()[i];
            ASSERT_EQ(states[i]["clock"], e.clock) << where;
            ASSERT_EQ(e.board.differences(states[i]), "") << where << ", board at " << e.clock;
            ASSERT_EQ(states[i]["inout_mode"], e.mode) << where << ", mode at " << e.clock;
            ++boards;
        }
        ASSERT_EQ(cp932::to_utf8(root.read_bytes("zerbanto/KLOG_T01.csv")), cp932::to_utf8(log_bytes(model.lines())))
            << where;
    }

    const double wall = duration<double>(steady_clock::now() - began).count();
    std::cout << "[soak] seed " << seed << ": " << day_count << " simulated days, " << month.runs.size() << " runs, "
              << month.touches.size() << " touches, " << model.lines().size() << " log lines, " << boards
              << " boards compared, " << wall << " s wall, " << wall / day_count << " s per simulated day" << std::endl;
}

} // namespace
