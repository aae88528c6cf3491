// The recorder killed with SIGKILL at random moments of a stream of stamps, and started again each time on
// the same files: no line of the attendance log is torn into or merged with another, no line the recorder
// reported as written is lost, and the board after the restart is the one the log gives. Every second run
// is a power cut: the recorder runs over a layer that keeps unsynced log bytes in the process, so that the
// kill drops them as a cut drops what the disk was not told to keep (a plain kill keeps the page cache).

#include "core/Cp932.h"
#include "support/Dice.h"
#include "support/ReferenceRecorder.h"
#include "support/SimProcess.h"
#include "support/SimRun.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono;
using reference::Moment;

// The seed fixes the stamps and the kill points (how many events to wait for, how long after); which
// instruction a kill lands on still depends on the machine's timing, and every outcome must pass.
constexpr std::uint64_t default_seed = 20261208;
constexpr int kills_wanted = 120;
constexpr std::size_t stamp_count = 500;
constexpr int member_count = 20;
const char* const log_file = "zerbanto/KLOG_T01.csv";

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
// torn while it was being written (a power cut, imitated below) may stand as a fragment of that line; the
// restart ends it, and the stamp is written again.
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

// The stamps a restart replays from the log as it stands: every line with five fields or more whose date and
// time reads and whose fifth field is not empty, a torn line too; "1" in the fifth field is a shift-in,
// anything else a shift-out.
std::vector<reference::LoggedStamp> replayable(const std::string& bytes) {
    std::vector<reference::LoggedStamp> out;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const auto end = std::min(bytes.find_first_of("\r\n", pos), bytes.size());
        const std::string line = cp932::to_utf8(bytes.substr(pos, end - pos));
        pos = end + 1;
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, ',');) {
            fields.push_back(field);
        }
        if (!line.empty() && line.back() == ',') {
            fields.emplace_back();
        }
        int y = 0, mo = 0, d = 0, h = 0, mi = 0;
        char tail = 0;
        if (fields.size() < 5 || fields[4].empty() || line.find("\xEF\xBF\xBD") != std::string::npos ||
            std::sscanf(fields[1].c_str(), "%d/%d/%d %d:%d%c", &y, &mo, &d, &h, &mi, &tail) != 5) {
            continue;
        }
        out.push_back({reference::moment(y, mo, d, h, mi), fields[3], fields[4] == "1" ? 1 : 2});
    }
    return out;
}

// A power cut while the line that was not yet reported was being written: it stands cut short at a random
// byte (the kill itself cannot cut a write of one line). False when the log was left as it was.
bool tear_in_flight(const TempRoot& root, const Stream& s, const LogCheck& c, std::size_t reported, Dice& dice) {
    std::string bytes = root.read_bytes(log_file);
    const std::string line = cp932::from_utf8(s.lines[reported]) + "\r\n";
    if (c.complete == reported + 1) {
        if (bytes.size() < line.size() || bytes.compare(bytes.size() - line.size(), line.size(), line) != 0) {
            return false;
        }
        bytes.resize(bytes.size() - line.size());
    }
    if (!bytes.empty() && bytes.back() != '\n') {
        return false; // a fragment is there already, not yet ended by a restart
    }
    // Cut inside the text, or after its CR; the whole text without its line end would be a complete line once
    // a restart ends it.
    const std::size_t text = line.size() - 2;
    const auto cut = static_cast<std::size_t>(dice.between(1, static_cast<int>(text)));
    bytes += line.substr(0, cut == text ? text + 1 : cut);
    root.write_bytes(log_file, bytes);
    return true;
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
    const UnrecordedRuns after_a_random_kill;
    const SimRun run = run_sim(copy.path(), "time " + reference::sim_clock(start) + "\nstart\nshow\n");
    EXPECT_EQ(run.status, 0) << run.stderr_text;
    return run.last_state().value("board", nlohmann::json());
}

// While it lives, programs started by this process run over the power-cut layer.
class PowerCut {
public:
    PowerCut() {
        const char* asan = std::getenv("ASAN_OPTIONS");
        asan_ = asan != nullptr ? std::optional<std::string>(asan) : std::nullopt;
        ::setenv("LD_PRELOAD", TR_POWER_CUT_LAYER, 1);
        // A sanitizer build wants its runtime loaded first; the layer comes before it.
        ::setenv("ASAN_OPTIONS", (asan_.value_or("") + ":verify_asan_link_order=0").c_str(), 1);
    }
    ~PowerCut() {
        ::unsetenv("LD_PRELOAD");
        if (asan_) {
            ::setenv("ASAN_OPTIONS", asan_->c_str(), 1);
        } else {
            ::unsetenv("ASAN_OPTIONS");
        }
    }
    PowerCut(const PowerCut&) = delete;
    PowerCut& operator=(const PowerCut&) = delete;

private:
    std::optional<std::string> asan_;
};

std::unique_ptr<SimProcess> start_sim(const TempRoot& root, const std::filesystem::path& script, bool power_cut) {
    std::optional<PowerCut> layer;
    if (power_cut) {
        layer.emplace();
    }
    return std::make_unique<SimProcess>(root.path(), script);
}

struct Figures {
    int kills = 0;
    int power_cuts = 0;
    int boards = 0;
    int tears = 0;
    std::size_t reported = 0;
    std::size_t lines_checked = 0;
};

// Kills the run at a random moment: while it starts (reading the log back, opening it), or a moment after
// the board was shown and a few lines were reported. The events it printed.
std::vector<nlohmann::json> kill_at_random(SimProcess& sim, Dice& dice) {
    std::vector<nlohmann::json> events;
    if (dice.chance(15)) {
        std::this_thread::sleep_for(microseconds(dice.between(0, 15000)));
    } else {
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
    EXPECT_TRUE(sim.kill(events)) << "the simulator ended before the kill";
    return events;
}

TEST(Crash, KilledAtRandomMomentsTheLogAndTheBoardSurvive) {
    const std::uint64_t seed = seed_from_environment("TR_CRASH_SEED", default_seed);
    std::cout << "[crash] seed " << seed << " (set TR_CRASH_SEED to repeat another run)" << std::endl;
    const auto began = steady_clock::now();
    Dice dice(seed);
    const Stream s = make_stream(dice);
    TempRoot root;
    write_store(root, s);
    const auto script_path = root.path() / "script.txt";

    Figures f;
    std::size_t done = 0; // lines on disk before the present run, so far all reported or counted as such
    while (f.kills < kills_wanted && done + 20 < s.stamps.size()) {
        const Moment start = start_before(s, done);
        std::ofstream(script_path, std::ios::binary) << segment_script(s, done, start);
        // What the restart must show: the board of the log's stamps, and that of a clean start on a copy.
        reference::Board board;
        board.restore({}, replayable(root.read_bytes(log_file)), start);
        const nlohmann::json clean_board = clean_start_board(root, start);

        const bool power_cut = f.kills % 2 == 1;
        const auto sim = start_sim(root, script_path, power_cut);
        const auto events = kill_at_random(*sim, dice);
        ++f.kills;
        f.power_cuts += power_cut ? 1 : 0;
        const std::string where =
            (power_cut ? "power cut " : "kill ") + std::to_string(f.kills) + " (seed " + std::to_string(seed) + ")";
        std::size_t reported = done;
        for (const auto& e : events) {
            ASSERT_NE(e["event"], "error") << e.dump();
            if (e["event"] == "logged") {
                ASSERT_LT(reported, s.lines.size());
                ASSERT_EQ(e["line"], s.lines[reported]) << where;
                ++reported;
            } else if (e["event"] == "state") {
                EXPECT_EQ(board.differences(e), "") << where << ", restart at " << reference::sim_clock(start);
                EXPECT_EQ(e["board"], clean_board) << where;
                ++f.boards;
            }
        }
        f.reported += reported - done;

        const LogCheck c = check_log(root.read_bytes(log_file), s);
        ASSERT_EQ(c.problem, "") << where;
        // Every line reported as written is there; at most the one being written when the kill came is more.
        ASSERT_GE(c.complete, reported) << where << ": a reported line was lost";
        ASSERT_LE(c.complete, reported + 1) << where;
        f.lines_checked += c.complete;
        done = c.complete;
        if (dice.chance(10) && reported < s.lines.size() && tear_in_flight(root, s, c, reported, dice)) {
            done = reported;
            ++f.tears;
        }
    }

    // The last run is not killed: it writes the rest of the stream, and the log is the whole stream once,
    // with the torn lines ended where they stand.
    const Moment start = start_before(s, done);
    std::ofstream(script_path, std::ios::binary) << segment_script(s, done, start) << "close\n";
    SimProcess last(root.path(), script_path);
    std::vector<nlohmann::json> rest;
    ASSERT_EQ(last.wait(rest), 0);
    const LogCheck c = check_log(root.read_bytes(log_file), s);
    EXPECT_EQ(c.problem, "");
    EXPECT_EQ(c.complete, s.lines.size());
    EXPECT_EQ(c.fragments, static_cast<std::size_t>(f.tears));
    f.lines_checked += c.complete;

    EXPECT_GE(f.kills, 100);
    const double wall = duration<double>(steady_clock::now() - began).count();
    std::cout << "[crash] seed " << seed << ": " << f.kills << " kills (" << f.power_cuts << " power cuts), "
              << f.reported << " lines reported before a kill, " << f.tears << " torn writes, " << f.boards
              << " restarted boards compared, " << f.lines_checked << " log lines checked, " << s.lines.size()
              << " stamps in the log, " << wall << " s" << std::endl;
}

// Names in a folder, sorted; empty when the folder is missing.
std::vector<std::string> names_in(const std::filesystem::path& folder) {
    std::vector<std::string> out;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        out.push_back(it->path().filename().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

// The copies the recorder makes: the exit's copy into the outbox, the member list replaced from a stick, the
// log copied to a stick. Each writes a temporary copy beside its target and renames it into place.
struct CopyCase {
    const char* name;
    const char* steps;
    const char* folder; // where the copy is made
    const char* target; // what it is renamed to, below the root
};
const CopyCase copies[] = {
    {"exit", "click cmd_Func\n", "cortmp", "cortmp/K04_160714_2305.CSV"},
    {"import", "answer yes\nclick Cmd_FromUSB\n", "zerbanto", "zerbanto/E99_member.csv"},
    {"export", "answer yes\nclick Cmd_ToUSB\n", "stick/Zerbanto", "stick/Zerbanto/K04_160714_2305.CSV"},
};

struct CopyStore {
    std::string log;
    std::string stick_list;
    std::string old_list = "99999,2015/01/01\r\n301,Old,BBBB000000000002\r\n";
    std::string drive;
};

// Store T04 with a log and a member list of 12000 bytes each, and a stick E with a new member list.
CopyStore write_copy_store(const TempRoot& root) {
    CopyStore s;
    for (int i = 100; i < 300; ++i) {
        s.log += "T04,2016/7/14 9:00," + std::to_string(i) + ",Name,1,9:00,18:00,0123456789ABCDEF\r\n";
        s.stick_list += std::to_string(i) + ",Member,0123456789AB" + std::to_string(i) + "\r\n";
    }
    root.write_bytes("zerbanto/action01.txt", "\x93\x58\x95\xDC\x43=T04\r\n"); // 店舗C=T04
    root.write_bytes("zerbanto/E99_member.csv", s.old_list);
    root.write_bytes("zerbanto/KLOG_T04.csv", s.log);
    root.write_bytes("stick/E99_new.csv", s.stick_list);
    s.drive = "drive E \"" + (root.path() / "stick").string() + "\"\n";
    return s;
}

// The recorder killed in the middle of each copy it makes. The copy stops half-way (the power-cut layer
// kills the process once 5000 of the 12000 bytes are written), and then nothing under a final name is half a
// file: the target is the whole old file or absent, the log is untouched, and the next start removes the half
// copy of the system folder and the outbox, so that no exit can ever send it.
TEST(Crash, KilledInTheMiddleOfACopyLeavesWholeFilesOnly) {
    for (const auto& c : copies) {
        SCOPED_TRACE(c.name);
        TempRoot root;
        const CopyStore store = write_copy_store(root);
        SimRun killed;
        {
            const PowerCut layer;
            ::setenv("TR_KILL_IN_COPY", "5000", 1);
            killed = run_sim(root.path(), "time 2016-07-14 23:05:10\n" + store.drive + "start\n" + c.steps);
            ::unsetenv("TR_KILL_IN_COPY");
        }
        EXPECT_NE(killed.status, 0);
        const auto left = names_in(root.path() / c.folder);
        const auto half = std::find_if(left.begin(), left.end(),
                                       [](const std::string& n) { return n.find(".tmp") != std::string::npos; });
        ASSERT_NE(half, left.end()) << "the copy was not cut short";
        EXPECT_EQ(root.read_bytes(std::filesystem::path(c.folder) / *half).size(), 5000U);
        EXPECT_EQ(root.read_bytes("zerbanto/KLOG_T04.csv"), store.log);
        EXPECT_EQ(root.read_bytes("zerbanto/E99_member.csv"), store.old_list);
        EXPECT_FALSE(std::filesystem::exists(root.path() / "stick/Zerbanto/K04_160714_2305.CSV"));

        const SimRun again = run_sim(root.path(), "time 2016-07-14 23:06:10\nstart\nshow\n");
        EXPECT_EQ(again.status, 0);
        if (std::string(c.folder) != "stick/Zerbanto") { // a stick is not the recorder's to tidy
            EXPECT_FALSE(std::filesystem::exists(root.path() / c.folder / *half));
        }
    }
}

// A copy is on disk before it is renamed into place: over the power-cut layer, a copy whose data were not
// synced when it was renamed is seen empty, as after a cut on a disk that writes the name first.
TEST(Crash, EveryCopyIsOnDiskBeforeItTakesItsName) {
    for (const auto& c : copies) {
        SCOPED_TRACE(c.name);
        TempRoot root;
        const CopyStore store = write_copy_store(root);
        SimRun run;
        {
            const PowerCut layer;
            run = run_sim(root.path(), "time 2016-07-14 23:05:10\n" + store.drive + "start\n" + c.steps + "close\n");
        }
        EXPECT_EQ(run.status, 0) << run.stderr_text;
        const std::string& whole = std::string(c.name) == "import" ? store.stick_list : store.log;
        const std::string arrived = root.read_bytes(c.target);
        EXPECT_TRUE(arrived == whole) << arrived.size() << " of " << whole.size() << " bytes";
    }
}

} // namespace
