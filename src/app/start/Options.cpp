#include "app/start/Options.h"

#include "core/Paths.h"
#include "settings/ServerConfig.h"

#include <charconv>

namespace {

// A whole number from min to max, or nullopt.
std::optional<int> parse_int(const std::string& value, int min, int max) {
    int n = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec != std::errc() || end != value.data() + value.size() || n < min || n > max) {
        return std::nullopt;
    }
    return n;
}

bool takes_value(const std::string& name, Program program) {
    if (name == "--root" || name == "--server" || name == "--ftp-port" || name == "--debug-server" ||
        name == "--ftp-connect-timeout" || name == "--ftp-stall-timeout" || name == "--ftp-min-speed" ||
        name == "--config") {
        return true;
    }
    return program == Program::Window && (name == "--reader" || name == "--sounds");
}

// The server settings as written, read into addresses once every option is known.
struct ServerTexts {
    std::optional<std::string> server; // --server, when given
    std::string debug_server;
};

std::string apply(Options& o, ServerTexts& texts, const std::string& name, const std::string& value) {
    if (name == "--root") {
        o.root = value;
        o.root_given = true;
    } else if (name == "--server") {
        texts.server = value;
    } else if (name == "--debug-server") {
        texts.debug_server = value;
    } else if (name == "--config") {
        o.config = value;
    } else if (name == "--sounds") {
        o.sounds = value;
    } else if (name == "--reader") {
        if (value != "pcsc" && value != "keyboard" && value != "auto") {
            return "--reader には pcsc、keyboard、auto のいずれかを指定してください: " + value;
        }
        o.reader = value;
    } else if (name == "--ftp-port") {
        const auto port = parse_int(value, 1, 65535);
        if (!port) {
            return "--ftp-port には 1 から 65535 のポート番号を指定してください: " + value;
        }
        o.ftp_port = *port;
    } else if (name == "--ftp-connect-timeout" || name == "--ftp-stall-timeout") {
        const auto seconds = parse_int(value, 1, 3600);
        if (!seconds) {
            return name + " には 1 から 3600 の秒数を指定してください: " + value;
        }
        (name == "--ftp-connect-timeout" ? o.ftp_connect_timeout : o.ftp_stall_timeout) = *seconds;
    } else if (name == "--ftp-min-speed") {
        const auto speed = parse_int(value, 1, 100'000'000);
        if (!speed) {
            return "--ftp-min-speed には 1 以上のバイト数 (毎秒) を指定してください: " + value;
        }
        o.ftp_min_speed = *speed;
    }
    return {};
}

bool names_no_server(const std::string& setting) {
    return setting.empty() || setting == "StandAlone";
}

// Reads a server setting into its address; the message when it is none of the forms a server is given in. A
// setting that may hold a password (user:password@host) is never repeated in the message.
std::string read_server(std::optional<ServerAddress>& address, const std::string& what, const std::string& setting,
                        int ftp_port) {
    address.reset();
    if (names_no_server(setting)) {
        return {};
    }
    address = parse_server_setting(setting, ftp_port);
    if (address) {
        return {};
    }
    return what +
           " にはホスト名か IP アドレス (IPv6 は [ ] で囲む)、ftps://ホスト[:ポート] か sftp://ホスト[:ポート] " +
           "だけを指定してください (ユーザー名やパスワード、/ から後は書けません): " + setting_for_message(setting);
}

bool plain(const std::optional<ServerAddress>& a) {
    return a && a->transport == Transport::Ftp;
}

std::string line_words(const ServerConfig& c, const std::string& key) {
    return std::to_string(c.line_of.at(key)) + " 行目の " + key;
}

// Why the servers in use would get what server.conf holds in a way the file does not allow: plain FTP in place
// of the encrypted server it names, its credentials over plain FTP to a server it did not name as plain, or its
// trust and key files beside a plain server, where they would be ignored.
std::string plain_server_fault(const Options& o, const ServerConfig& c, const std::optional<ServerAddress>& from_file,
                               const std::string& named) {
    if (from_file && !plain(from_file) && plain(o.server)) {
        return "--server の暗号化しない FTP のサーバーが、" + named + line_words(c, "server") +
               " の暗号化したサーバーに代わることになります";
    }
    for (const char* key : {"private_key", "ca_file", "known_hosts"}) {
        if (c.line_of.contains(key) && (plain(o.server) || plain(o.debug_server))) {
            return named + line_words(c, key) + " は、暗号化しない FTP のサーバーでは使われません";
        }
    }
    const bool file_server_in_use = from_file && o.server && o.server->setting == from_file->setting;
    for (const char* key : {"user", "password"}) {
        if (c.line_of.contains(key) && ((plain(o.server) && !file_server_in_use) || plain(o.debug_server))) {
            return named + line_words(c, key) +
                   " を暗号化しない FTP で送ることになります (設定ファイルの server が暗号化しない FTP "
                   "を指定したときだけ送ります)";
        }
    }
    return {};
}

// Completes the options from the server configuration file; the command line's server wins over the file's,
// but never turns the file's encryption off.
std::string apply_server_config(Options& o, const ServerTexts& texts) {
    const bool asked_for = !o.config.empty();
    const std::filesystem::path path = asked_for ? o.config : Paths(o.root).file("server.conf");
    const ServerConfigRead read = read_server_config(path, asked_for);
    if (!read.error.empty()) {
        return read.error + "。起動しません";
    }
    const ServerConfig& c = read.config;
    const std::string named = "設定ファイル " + path.string() + " の ";
    std::optional<ServerAddress> from_file;
    if (c.server) {
        if (auto err = read_server(from_file, named + line_words(c, "server"), *c.server, o.ftp_port); !err.empty()) {
            return err + "。起動しません";
        }
        if (!texts.server) {
            o.server = from_file;
        }
    }
    o.login.user = c.user.value_or(o.login.user);
    o.login.password = c.password.value_or(o.login.password);
    o.keys = c.keys;
    if (std::string fault = plain_server_fault(o, c, from_file, named); !fault.empty()) {
        return fault + "。起動しません";
    }
    return {};
}

} // namespace

OptionsResult parse_options(const std::vector<std::string>& args, Program program) {
    OptionsResult r;
    ServerTexts texts;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool has_value = false;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            has_value = true;
        }
        if (name == "--help" || name == "-h") {
            r.options.help = true;
            continue;
        }
        if (name == "--demo") {
            r.options.demo = true;
            continue;
        }
        if (!takes_value(name, program)) {
            r.error = "不明なオプションです: " + args[i];
            return r;
        }
        if (!has_value) {
            if (i + 1 >= args.size()) {
                r.error = name + " の値がありません";
                return r;
            }
            value = args[++i];
        }
        if (value.empty() && name != "--server" && name != "--debug-server") {
            r.error = name + " の値が空です";
            return r;
        }
        if (auto err = apply(r.options, texts, name, value); !err.empty()) {
            r.error = err;
            return r;
        }
    }
    if (r.options.root.empty()) {
        const auto root = r.options.demo ? Paths::default_demo_root() : Paths::default_root();
        if (!root) {
            r.refusal = no_home_message;
            return r;
        }
        r.options.root = *root;
    }
    Options& o = r.options;
    r.error = read_server(o.server, "--server", texts.server.value_or(""), o.ftp_port);
    if (r.error.empty()) {
        r.error = read_server(o.debug_server, "--debug-server", texts.debug_server, o.ftp_port);
    }
    if (r.error.empty() && !o.help) {
        r.refusal = apply_server_config(o, texts);
    }
    return r;
}

std::string usage_text(Program program) {
    std::string text = program == Program::Window ? "使い方: timerecorder [オプション]\n"
                                                  : "使い方: timerecorder-sim [オプション] < スクリプト\n";
    text += "  --root DIR          データの置き場所 (DIR/zerbanto, DIR/cortmp)\n"
            "  --server HOST       本部の FTP サーバー (指定するとオンライン運用)。暗号化するときは\n"
            "                      ftps://HOST[:PORT] (TLS) か sftp://HOST[:PORT] (SSH)\n"
            "  --config FILE       サーバーとログインの設定ファイル (既定 DIR/zerbanto/server.conf)\n"
            "  --ftp-port N        FTP サーバーのポート (既定 21)\n"
            "  --debug-server HOST 会社名が debug のときに使う FTP サーバー\n"
            "  --ftp-connect-timeout S  FTP の接続とログインの制限時間 (既定 15 秒)\n"
            "  --ftp-stall-timeout S    FTP の転送や応答が止まったときの制限時間 (既定 30 秒)\n"
            "  --ftp-min-speed B        これより遅い転送が制限時間続くと打ち切る (毎秒バイト、既定 100)\n";
    if (program == Program::Window) {
        text += "  --reader KIND       カードリーダー: pcsc, keyboard, auto (既定 auto)\n"
                "  --sounds DIR        chimes.wav と chord.wav のあるフォルダー\n"
                "  --demo              見本の店舗とメンバーで試す (F1〜F12 がカード、既定の DIR は\n"
                "                      ~/.local/share/timerecorder-demo)\n";
    } else {
        text += "  --demo              DIR に見本の店舗を用意して試す (既定の DIR は\n"
                "                      ~/.local/share/timerecorder-demo)\n";
    }
    text += "  --help              この説明を表示\n";
    return text;
}
