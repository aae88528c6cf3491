#include "transfer/FtpScriptFile.h"

#include "core/AsciiCase.h"
#include "transfer/ServerSetting.h"

#include <charconv>

namespace ftpscript {

std::vector<std::string> lines(std::string_view setting, int port, std::string_view command, const Login& login) {
    std::string open = "open " + std::string(setting);
    const auto address = parse_server_address(setting);
    const bool own_port = address && (address->port || address->transport == Transport::Sftp);
    if (port != default_port && !own_port) {
        open += " " + std::to_string(port);
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

namespace {

Parsed fail(std::string why) {
    return Parsed{std::nullopt, std::move(why)};
}

// The transfer command of line 7.
bool take_transfer(Script& s, const std::vector<std::string>& w) {
    const std::string verb = w.empty() ? std::string{} : ascii_lower(w[0]);
    if (verb == "get" && w.size() == 3) {
        s.transfer = Transfer::Get;
        s.remote = w[1];
        s.locals = {w[2]};
        return true;
    }
    if (verb == "mput" && w.size() >= 2) {
        s.transfer = Transfer::Mput;
        s.locals.assign(w.begin() + 1, w.end());
        return true;
    }
    return false;
}

} // namespace

Parsed parse(const std::vector<std::string>& ls) {
    if (ls.size() != 8) {
        return fail("スクリプトが 8 行ではありません");
    }
    Script s;
    const auto open = words(ls[0]);
    if (open.size() < 2 || open.size() > 3 || ascii_lower(open[0]) != "open") {
        return fail("1 行目が open HOST [PORT] ではありません: " + ls[0]);
    }
    s.host = open[1];
    if (open.size() == 3) {
        const auto port = parse_port(open[2]);
        if (!port) {
            return fail("ポート番号が正しくありません: " + open[2]);
        }
        s.port = *port;
    }
    s.user = ls[1];
    s.password = ls[2];
    const auto bin = words(ls[3]);
    const auto prompt = words(ls[4]);
    const auto cd = words(ls[5]);
    if (bin.size() != 1 || (ascii_lower(bin[0]) != "bin" && ascii_lower(bin[0]) != "binary")) {
        return fail("4 行目が bin ではありません: " + ls[3]);
    }
    if (prompt.size() != 1 || ascii_lower(prompt[0]) != "prompt") {
        return fail("5 行目が prompt ではありません: " + ls[4]);
    }
    if (cd.size() != 2 || ascii_lower(cd[0]) != "cd") {
        return fail("6 行目が cd DIR ではありません: " + ls[5]);
    }
    s.directory = cd[1];
    if (!take_transfer(s, words(ls[6]))) {
        return fail("7 行目が get REMOTE LOCAL か mput LOCAL ではありません: " + ls[6]);
    }
    const auto bye = words(ls[7]);
    if (bye.size() != 1 || (ascii_lower(bye[0]) != "bye" && ascii_lower(bye[0]) != "quit")) {
        return fail("8 行目が bye ではありません: " + ls[7]);
    }
    return Parsed{std::move(s), {}};
}

} // namespace ftpscript
