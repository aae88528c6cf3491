// A whole simulator run on a fuzzed script over a private root folder. The input may begin with files for
// the system folder, each introduced by a line "=== NAME" (a plain file name), followed by "=== script" and
// the script; without a first "=== " line the whole input is the script.
//
// So that a run stays inside its root and ends quickly, a script is not run when it names a drive (drives
// are real folders anywhere) or when its waits add up to more than three simulated hours. No server is
// given, so nothing is transferred. Every event the run prints must be a line of well-formed JSON.
#include "FuzzRoot.h"
#include "sim/ScriptLine.h"
#include "sim/Simulator.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace {

constexpr std::int64_t max_total_wait_ms = 3LL * 3'600'000;

const FuzzRoot& root() {
    static const FuzzRoot r;
    return r;
}

bool plain_file_name(std::string_view name) {
    if (name.empty() || name.size() > 40 || name == "." || name == "..") {
        return false;
    }
    for (char c : name) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
                        c == '.' || c == '-';
        if (!ok) {
            return false;
        }
    }
    return true;
}

// Writes the files before the script into the system folder; returns the script, or nullopt for a bad header.
std::optional<std::string_view> take_files(std::string_view input) {
    static constexpr std::string_view header = "=== ";
    if (input.substr(0, header.size()) != header) {
        return input;
    }
    while (input.substr(0, header.size()) == header) {
        const std::size_t eol = input.find('\n');
        if (eol == std::string_view::npos) {
            return std::nullopt;
        }
        std::string_view name = input.substr(header.size(), eol - header.size());
        if (!name.empty() && name.back() == '\r') {
            name.remove_suffix(1);
        }
        input.remove_prefix(eol + 1);
        if (name == "script") {
            return input;
        }
        if (!plain_file_name(name)) {
            return std::nullopt;
        }
        const std::size_t next = input.find("\n=== ");
        const std::string_view body = input.substr(0, next == std::string_view::npos ? input.size() : next + 1);
        root().write(std::filesystem::path("zerbanto") / std::string(name), body);
        input.remove_prefix(body.size());
    }
    return std::nullopt;
}

bool safe_to_run(std::string_view script) {
    std::int64_t waited = 0;
    std::istringstream in{std::string(script)};
    std::string line;
    while (std::getline(in, line)) {
        const ScriptLine parsed = split_script_line(line);
        if (parsed.words.empty()) {
            continue;
        }
        const std::string& cmd = parsed.words[0];
        if (cmd == "drive") {
            return false;
        }
        if (cmd == "wait" && parsed.words.size() == 2) {
            waited += parse_duration(parsed.words[1]).value_or(0);
            if (waited > max_total_wait_ms) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    root().reset();
    const auto script = take_files(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!script || !safe_to_run(*script)) {
        return 0;
    }
    Options options;
    options.root = root().path();
    std::ostringstream events;
    std::istringstream in{std::string(*script)};
    {
        Simulator sim(options, events);
        const int status = sim.run(in);
        fuzz_check(status >= 0 && status <= 2, "the simulator ends with 0, 1 (a stamp it could not log) or 2");
    }
    // Whatever the files and the script hold, every event is one line of well-formed JSON.
    std::istringstream lines(events.str());
    std::string line;
    while (std::getline(lines, line)) {
        fuzz_check(is_valid_utf8(line) && nlohmann::json::accept(line), "an event is a line of JSON");
    }
    return 0;
}
