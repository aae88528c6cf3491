#pragma once

#include "transfer/ServerSetting.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The eight-line command script of the head-office transfers, as the command-line FTP client reads it:
// open, the login's two answers, bin, prompt, cd, the one transfer command, bye. The recorder writes it
// for service staff to read and runs the same script, held in memory, with its own client.
namespace ftpscript {

// The head office's fixed account and the folder that holds every exchanged file.
inline constexpr const char* user = "upload";
inline constexpr const char* password = "Pelmora583920";
inline constexpr const char* directory = "/sub";
inline constexpr int default_port = 21;

// The login answered on lines 2 and 3: the fixed account unless the configuration gives another.
struct Login {
    std::string user = ftpscript::user;
    std::string password = ftpscript::password;
};

// The script's lines for one transfer command. Line 1 holds the connection setting as written, so that service
// staff see the transport; the FTP port follows it only when it is not 21 and the setting names no port of its
// own (an SFTP server listens on 22 unless the setting says otherwise).
[[nodiscard]] std::vector<std::string> lines(const ServerAddress& server, std::string_view command,
                                             const Login& login = {});

enum class Transfer { Get, Mput };

// What a script asks for.
struct Script {
    ServerAddress server;
    Login login;
    std::string directory = ftpscript::directory;
    Transfer transfer = Transfer::Get;
    std::string remote;              // get: the server's file name
    std::vector<std::string> locals; // get: the local path; mput: the local wildcard paths
};

struct Parsed {
    std::optional<Script> script;
    std::string error; // why the command is not one this client runs
};

// The script for one transfer command, "get REMOTE LOCAL" or "mput LOCAL...".
[[nodiscard]] Parsed script(const ServerAddress& server, std::string_view command, const Login& login = {});

// The words of a command line, split at runs of blanks.
[[nodiscard]] std::vector<std::string> words(std::string_view line);

} // namespace ftpscript
