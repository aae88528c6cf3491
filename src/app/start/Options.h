#pragma once

#include "transfer/FtpScriptFile.h"
#include "transfer/ServerSetting.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The command line of both programs, completed by the server configuration file. Without a server the
// recorder runs stand-alone.
struct Options {
    std::filesystem::path root;                // stands for drive C:
    bool root_given = false;                   // --root named it: it must exist, it is never made
    std::optional<ServerAddress> server;       // none: stand-alone
    int ftp_port = 21;                         // the port of a server setting that names none
    std::optional<ServerAddress> debug_server; // server used when the company name is "debug"
    int ftp_connect_timeout = 15;              // seconds to connect and log in
    int ftp_stall_timeout = 30;                // seconds a transfer or a reply may stand still or crawl
    int ftp_min_speed = 100;                   // bytes a second below which a transfer counts as crawling
    std::filesystem::path config;              // the server configuration file; default server.conf in the data folder
    ftpscript::Login login;                    // the fixed account unless the configuration file gives another
    TransportKeys keys;
    std::string reader = "auto";  // window program: pcsc, keyboard or auto
    std::filesystem::path sounds; // window program: folder of chimes.wav and chord.wav
    bool demo = false;            // the sample store in the demo root; the window program: demo keys
    bool help = false;
};

struct OptionsResult {
    Options options;
    std::string error;   // not empty: a message for the user, exit status 2
    std::string refusal; // not empty: the server configuration rules out a start; shown to the user, exit status 1
};

enum class Program { Window, Simulator };

// No --root and no home to put the data folder in: the recorder never falls back to a folder others can write.
inline constexpr const char* no_home_message =
    "ホームフォルダーがわかりません (HOME が空で、ユーザーの登録にもありません)。--root "
    "でデータの置き場所を指定してください。起動しません";

[[nodiscard]] OptionsResult parse_options(const std::vector<std::string>& args, Program program);
[[nodiscard]] std::string usage_text(Program program);
