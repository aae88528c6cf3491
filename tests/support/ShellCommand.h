#pragma once

#include <string>

// A command line run by the shell, for the cases that need another user or a mount of their own: its exit
// status (-1 when a signal ended it) and what it printed on standard output and standard error.
struct ShellResult {
    int status = -1;
    std::string output;
};

[[nodiscard]] ShellResult run_shell(const std::string& command);

// The text quoted for the shell.
[[nodiscard]] std::string quoted(const std::string& text);

// Whether the tests run as root, which the cases acted out by another user or on a mount of their own need.
[[nodiscard]] bool running_as_root();
