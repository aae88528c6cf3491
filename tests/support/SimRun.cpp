#include "support/SimRun.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
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
std::string shell_quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}
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
