#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The command line of both programs. Without --server the recorder runs stand-alone.
struct Options {
    std::filesystem::path root; // stands for drive C:
    bool root_given = false;    // --root named it: it must exist, it is never made
    std::string server;         // FTP host: connected mode when not empty
    int ftp_port = 21;
    std::string debug_server;     // host used when the company name is "debug"
    int ftp_connect_timeout = 15; // seconds to connect and log in
    int ftp_stall_timeout = 30;   // seconds a transfer or a reply may stand still
    std::string reader = "auto";  // window program: pcsc, keyboard or auto
    std::filesystem::path sounds; // window program: folder of chimes.wav and chord.wav
    bool demo = false;            // the sample store in the demo root; the window program: demo keys
    bool help = false;
};

struct OptionsResult {
    Options options;
    std::string error; // not empty: a message for the user, exit status 2
};

enum class Program { Window, Simulator };

[[nodiscard]] OptionsResult parse_options(const std::vector<std::string>& args, Program program);
[[nodiscard]] std::string usage_text(Program program);
