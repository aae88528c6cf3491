// The recorder killed with SIGKILL at random moments of a stream of stamps, and started again each time on
// the same files: no line of the attendance log is torn into or merged with another, no line the recorder
// reported as written is lost, and the board after the restart is the one the log gives.

#include "core/Cp932.h"
#include "support/ReferenceRecorder.h"
#include "support/SimProcess.h"
#include "support/SimRun.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono;
using reference::Moment;

constexpr std::uint64_t default_seed = 20261208;
constexpr int kills_wanted = 120;
constexpr std::size_t stamp_count = 600;
constexpr int member_count = 20;

// Random figures from a fixed seed; the same seed gives the same stamps and the same kill points.
class Dice {
public:
    explicit Dice(std::uint64_t seed) : engine_(seed) {}
    int between(int low, int high) {
        return low + static_cast<int>(engine_() % static_cast<std::uint64_t>(high - low + 1));
    }
    bool chance(int percent) { return between(1, 100) <= percent; }

private:
    std::mt19937_64 engine_;
};

std::uint64_t seed_from_environment() {
    const char* text = std::getenv("TR_CRASH_SEED");
    return text != nullptr ? std::strtoull(text, nullptr, 10) : default_seed;
}

struct Stamp {
    Moment poll; // the poll that reads the card
    int member;
    int mode;
};

struct Stream {
    std::vector<reference::Member> members;
    std::vector<Stamp> stamps;
    std::vector<std::string> lines; // the line each stamp writes
};

// Stamps one to twelve minutes apart over several days, across midnight and the 5:00 reset. Each stamp
// clicks its mode first and no card is read twice within a minute, so every stamp writes exactly one line.
Stream make_stream(Dice& dice) {
    Stream s;
    for (int i = 0; i < member_count; ++i) {
        const std::string n = std::to_string(101 + i);
        s.members.push_back({n, i % 7 == 3 ? "長い名前の人" + n : "社員" + n, "0123456789AB" + n + "F"});
    }
    std::vector<int> last_mode(member_count, 2);
    Moment t = reference::moment(2026, 3, 1, 8, 0, 31);
    for (std::size_t i = 0; i < stamp_count; ++i) {
        t += minutes{dice.between(1, 12)};
        const int m = dice.between(0, member_count - 1);
        const int mode = dice.chance(10) ? last_mode[m] : 3 - last_mode[m];
        last_mode[m] = mode;
        s.stamps.push_back({t, m, mode});
        const auto& mem = s.members[m];
        s.lines.push_back("T01," + reference::log_stamp(t) + "," + mem.code + "," + mem.name + "," +
                          std::to_string(mode) + ",,," + mem.idm);
    }
    return s;
}

std::string wait_for(Moment from, Moment to) {
    return "wait " + std::to_string((to - from).count()) + "s\n";
}

// A run that takes over at stamp `first`: it starts a little before that stamp's minute and goes on to the
// end of the stream.
std::string segment_script(const Stream& s, std::size_t first, Moment start) {
    std::string script = "time " + reference::sim_clock(start) + "\nreport-log\nstart\nshow\n";
    Moment clock = start;
    for (std::size_t i = first; i < s.stamps.size(); ++i) {
        const Stamp& st = s.stamps[i];
        script += wait_for(clock, st.poll - seconds{1});
        script += st.mode == 1 ? "click cmd_IN\n" : "click cmd_OUT\n";
        script += "tap " + s.members[static_cast<std::size_t>(st.member)].idm + "\nwait 1s\n";
        clock = st.poll;
    }
    return script;
}

Moment start_before(const Stream& s, std::size_t first) {
    return first < s.stamps.size() ? s.stamps[first].poll - seconds{25} : s.stamps.back().poll + minutes{1};
}

// The log after a kill: its complete lines must be the stream's first lines, in order, each whole. A line
// torn by the kill itself (the program died inside the write) may stand as a fragment of the line that was
// being written; the restart ends it, and that stamp is written again.
struct LogCheck {
    std::size_t complete = 0; // the stream's lines found, in order
    std::size_t fragments = 0;
    std::string problem;
};

LogCheck check_log(const std::string& bytes, const Stream& s) {
    LogCheck c;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const auto end = bytes.find("\r\n", pos);
        const bool whole = end != std::string::npos;
        const std::string line = bytes.substr(pos, whole ? end - pos : std::string::npos);
        pos = whole ? end + 2 : bytes.size();
        const std::string want = c.complete < s.lines.size() ? cp932::from_utf8(s.lines[c.complete]) : std::string();
        // A fragment may end in the CR of its own line end, cut before the LF.
        const std::string fragment = !line.empty() && line.back() == '\r' ? line.substr(0, line.size() - 1) : line;
        if (whole && line == want) {
            ++c.complete;
        } else if (!fragment.empty() && want.compare(0, fragment.size(), fragment) == 0) {
            ++c.fragments;
        } else {
            c.problem = "line " + std::to_string(c.complete + c.fragments + 1) + " is \"" + cp932::to_utf8(line) +
                        "\"" + (whole ? "" : " (no line end)") + "; the next line of the stream is \"" +
                        cp932::to_utf8(want) + "\"";
            return c;
        }
    }
    return c;
}

std::vector<reference::LoggedStamp> logged(const Stream& s, std::size_t count) {
    std::vector<reference::LoggedStamp> out;
    for (std::size_t i = 0; i < count; ++i) {
        const Stamp& st = s.stamps[i];
        out.push_back({floor<minutes>(st.poll), s.members[static_cast<std::size_t>(st.member)].name, st.mode});
    }
    return out;
}

void write_store(const TempRoot& root, const Stream& s) {
    root.write_bytes("zerbanto/action01.txt", cp932_lines({"会社名= Corvale", "店舗CD = T01", "店舗名 = 第一店"}));
    std::string list = cp932::from_utf8("99999,2026/03/01") + "\r\n";
    for (const auto& m : s.members) {
        list += cp932::from_utf8(m.code + "," + m.name + "," + m.idm) + "\r\n";
    }
    root.write_bytes("zerbanto/E99_member.csv", list);
}

// The board a clean start gives on a copy of the files as the kill left them.
nlohmann::json clean_start_board(const TempRoot& root, Moment start) {
    TempRoot copy;
    for (const char* f : {"action01.txt", "E99_member.csv", "KLOG_T01.csv"}) {
        std::error_code ec;
        std::filesystem::copy_file(root.zerbanto() / f, copy.zerbanto() / f, ec);
    }
    const SimRun run = run_sim(copy.path(), "time " + reference::sim_clock(start) + "\nstart\nshow\n");
    EXPECT_EQ(run.status, 0) << run.stderr_text;
    return run.last_state().value("board", nlohmann::json());
}

struct Figures {
    int kills = 0;
    int boards = 0;
    std::size_t lines_checked = 0;
};

TEST(Crash, KilledAtRandomMomentsTheLogAndTheBoardSurvive) {
    const std::uint64_t seed = seed_from_environment();
    std::cout << "[crash] seed " << seed << " (set TR_CRASH_SEED to repeat another run)" << std::endl;
    const auto began = steady_clock::now();
    Dice dice(seed);
    const Stream s = make_stream(dice);
    TempRoot root;
    write_store(root, s);
    const auto script_path = root.path() / "script.txt";

    Figures f;
    std::size_t reported = 0; // lines the runs reported as on disk, over all runs
    std::size_t done = 0;     // complete lines in the log before the present run
    while (f.kills < kills_wanted && done + 20 < s.stamps.size()) {
        const Moment start = start_before(s, done);
        std::ofstream(script_path, std::ios::binary) << segment_script(s, done, start);
        const nlohmann::json expected_board = clean_start_board(root, start);

        SimProcess sim(root.path(), script_path);
        std::vector<nlohmann::json> events;
        if (dice.chance(15)) {
            // Killed while starting: reading the log back, opening it, before the board is shown.
            std::this_thread::sleep_for(microseconds(dice.between(0, 15000)));
        } else {
            // Killed after the board is shown and a few lines are reported, a moment later.
            int lines_to_see = dice.between(0, 5);
            bool shown = false;
            while (auto e = sim.next_event(seconds(60))) {
                events.push_back(*e);
                shown = shown || (*e)["event"] == "state";
                lines_to_see -= (*e)["event"] == "logged" ? 1 : 0;
                if (shown && lines_to_see <= 0) {
                    break;
                }
            }
            std::this_thread::sleep_for(microseconds(dice.between(0, 4000)));
        }
        ASSERT_TRUE(sim.kill(events)) << "the simulator ended before the kill; see " << root.path() / "sim-stderr.txt";
        ++f.kills;

        for (const auto& e : events) {
            ASSERT_NE(e["event"], "error") << e.dump();
            if (e["event"] == "logged") {
                ASSERT_LT(reported, s.lines.size());
                EXPECT_EQ(e["line"], s.lines[reported]) << "kill " << f.kills;
                ++reported;
            } else if (e["event"] == "state") {
                // The restart shows the board the log gives, as a clean start on the same files does.
                reference::Board board;
                board.restore({}, logged(s, done), start);
                EXPECT_EQ(board.differences(e), "")
                    << "kill " << f.kills << ", restart at " << reference::sim_clock(start);
                EXPECT_EQ(e["board"], expected_board) << "kill " << f.kills;
                ++f.boards;
            }
        }

        const LogCheck c = check_log(root.read_bytes("zerbanto/KLOG_T01.csv"), s);
        ASSERT_EQ(c.problem, "") << "kill " << f.kills << " (seed " << seed << ")";
        // Every line reported as written is there; at most the one being written when the kill came is more.
        ASSERT_GE(c.complete, reported) << "kill " << f.kills << ": a reported line was lost";
        ASSERT_LE(c.complete, reported + 1) << "kill " << f.kills;
        f.lines_checked += c.complete;
        reported = c.complete; // a line on disk but not yet reported counts as written
        done = c.complete;
    }

    // The last run is not killed: it writes the rest of the stream, and the log is the whole stream once.
    const Moment start = start_before(s, done);
    std::ofstream(script_path, std::ios::binary) << segment_script(s, done, start) << "close\n";
    SimProcess last(root.path(), script_path);
    std::vector<nlohmann::json> rest;
    ASSERT_EQ(last.wait(rest), 0);
    const LogCheck c = check_log(root.read_bytes("zerbanto/KLOG_T01.csv"), s);
    EXPECT_EQ(c.problem, "");
    EXPECT_EQ(c.complete, s.lines.size());
    f.lines_checked += c.complete;

    EXPECT_GE(f.kills, 100);
    const double wall = duration<double>(steady_clock::now() - began).count();
    std::cout << "[crash] seed " << seed << ": " << f.kills << " kills, " << f.boards << " restarted boards compared, "
              << f.lines_checked << " log lines checked, " << c.fragments << " lines torn by a kill, " << s.lines.size()
              << " stamps, " << wall << " s" << std::endl;
}

} // namespace
