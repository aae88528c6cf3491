#include "support/SimRun.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

std::vector<nlohmann::json> SimRun::of(const std::string& kind) const {
    std::vector<nlohmann::json> out;
    for (const auto& e : events) {
        if (e.value("event", "") == kind) {
            out.push_back(e);
        }
    }
    return out;
}

nlohmann::json SimRun::last_state() const {
    const auto states = of("state");
    EXPECT_FALSE(states.empty()) << "no state event";
    return states.empty() ? nlohmann::json::object() : states.back();
}

namespace {
int unrecorded = 0;
} // namespace

UnrecordedRuns::UnrecordedRuns() {
    ++unrecorded;
}
UnrecordedRuns::~UnrecordedRuns() {
    --unrecorded;
}

namespace {
std::string shell_quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}
// What the simulator printed for every run whose input is fixed, recorded once and compared on every later
// run: a change of structure must leave the output the same byte for byte. TR_SIM_RECORD=1 writes the files
// afresh (for a change of behaviour made on purpose). The test root's path is replaced by "@ROOT@".
#ifdef TR_RECORDED_DIR
std::string replace_all(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// recorded/<suite>.<test>.<n>.jsonl, n counting the runs of the current test from 1.
std::filesystem::path recording_file() {
    static std::map<std::string, int> runs;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name) {
        c = (c == '/') ? '_' : c;
    }
    return std::filesystem::path(TR_RECORDED_DIR) / (name + "." + std::to_string(++runs[name]) + ".jsonl");
}

void compare_with_recording(const std::filesystem::path& root, const std::string& out) {
    if (unrecorded > 0 || ::testing::UnitTest::GetInstance()->current_test_info() == nullptr) {
        return;
    }
    const auto file = recording_file();
    const std::string printed = replace_all(out, root.string(), "@ROOT@");
    const char* record = std::getenv("TR_SIM_RECORD");
    if (record != nullptr && std::string(record) == "1") {
        std::ofstream(file, std::ios::binary) << printed;
        return;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        ADD_FAILURE() << "no recorded output " << file << " (TR_SIM_RECORD=1 records it)";
        return;
    }
    std::ostringstream recorded;
    recorded << in.rdbuf();
    EXPECT_TRUE(recorded.str() == printed) << "the simulator printed other output than recorded in " << file;
}
#else
void compare_with_recording(const std::filesystem::path&, const std::string&) {}
#endif
} // namespace

SimRun run_sim(const std::filesystem::path& root, const std::string& script, const std::vector<std::string>& extra) {
    const auto script_path = root / "script.txt";
    const auto err_path = root / "sim-stderr.txt";
    std::ofstream(script_path, std::ios::binary) << script;
    std::string cmd = shell_quote(TR_SIM_BINARY) + " --root " + shell_quote(root.string());
    for (const auto& a : extra) {
        cmd += " " + shell_quote(a);
    }
    cmd += " < " + shell_quote(script_path.string()) + " 2> " + shell_quote(err_path.string());
    SimRun run;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (p == nullptr) {
        ADD_FAILURE() << "cannot start " << cmd;
        return run;
    }
    std::string out;
    std::array<char, 65536> buf{};
    std::size_t n = 0;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) {
        out.append(buf.data(), n);
    }
    const int st = ::pclose(p);
    run.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    compare_with_recording(root, out);
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty()) {
            run.events.push_back(nlohmann::json::parse(line));
        }
    }
    std::ifstream err(err_path);
    std::ostringstream e;
    e << err.rdbuf();
    run.stderr_text = e.str();
    return run;
}
