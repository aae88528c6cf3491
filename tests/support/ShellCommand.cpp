#include "support/ShellCommand.h"

#include <array>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

ShellResult run_shell(const std::string& command) {
    ShellResult r;
    FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    if (p == nullptr) {
        return r;
    }
    std::array<char, 4096> buf{};
    std::size_t n = 0;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) {
        r.output.append(buf.data(), n);
    }
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::string quoted(const std::string& text) {
    std::string q = "'";
    for (char c : text) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

bool running_as_root() {
    return ::geteuid() == 0;
}
