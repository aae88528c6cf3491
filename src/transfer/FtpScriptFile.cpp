#include "transfer/FtpScriptFile.h"

#include "core/AsciiCase.h"

namespace ftpscript {

std::vector<std::string> lines(const ServerAddress& server, std::string_view command, const Login& login) {
    std::string open = "open " + server.setting;
    const bool own_port = server.port_written || server.transport == Transport::Sftp;
    if (server.port != default_port && !own_port) {
        open += " " + std::to_string(server.port);
    }
    return {open, login.user, login.password, "bin", "prompt", "cd " + std::string(directory), std::string(command),
            "bye"};
}

std::vector<std::string> words(std::string_view line) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
            ++i;
        }
        if (i > start) {
            out.emplace_back(line.substr(start, i - start));
        }
    }
    return out;
}

Parsed script(const ServerAddress& server, std::string_view command, const Login& login) {
    Script s;
    s.server = server;
    s.login = login;
    const auto w = words(command);
    const std::string verb = w.empty() ? std::string{} : ascii_lower(w[0]);
    if (verb == "get" && w.size() == 3) {
        s.transfer = Transfer::Get;
        s.remote = w[1];
        s.locals = {w[2]};
    } else if (verb == "mput" && w.size() >= 2) {
        s.transfer = Transfer::Mput;
        s.locals.assign(w.begin() + 1, w.end());
    } else {
        return Parsed{std::nullopt, "7 行目が get REMOTE LOCAL か mput LOCAL ではありません: " + std::string(command)};
    }
    return Parsed{std::move(s), {}};
}

} // namespace ftpscript
