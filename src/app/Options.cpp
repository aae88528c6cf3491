#include "app/Options.h"

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

std::string apply(Options& o, const std::string& name, const std::string& value) {
    if (name == "--root") {
        o.root = value;
        o.root_given = true;
    } else if (name == "--server") {
        o.server = value;
    } else if (name == "--debug-server") {
        o.debug_server = value;
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

std::string check_server(const std::string& what, const std::string& setting) {
    if (setting.empty() || parse_server_address(setting)) {
        return {};
    }
    return what + " にはホスト名、ftps://ホスト[:ポート] か sftp://ホスト[:ポート] を指定してください: " + setting;
}

// Completes the options from the server configuration file; the command line's server wins over the file's.
std::string apply_server_config(Options& o, bool server_given) {
    const bool asked_for = !o.config.empty();
    const std::filesystem::path path = asked_for ? o.config : Paths(o.root).file("server.conf");
    const ServerConfigRead read = read_server_config(path, asked_for);
    if (!read.error.empty()) {
        return read.error + "。起動しません";
    }
    const ServerConfig& c = read.config;
    if (c.server && !server_given) {
        o.server = *c.server;
    }
    o.login.user = c.user.value_or(o.login.user);
    o.login.password = c.password.value_or(o.login.password);
    o.keys = c.keys;
    if (auto err = check_server("設定ファイル " + path.string() + " の server", c.server.value_or("")); !err.empty()) {
        return err;
    }
    return {};
}

} // namespace

OptionsResult parse_options(const std::vector<std::string>& args, Program program) {
    OptionsResult r;
    bool server_given = false;
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
        if (auto err = apply(r.options, name, value); !err.empty()) {
            r.error = err;
            return r;
        }
        server_given = server_given || name == "--server";
    }
    if (r.options.root.empty()) {
        const auto root = r.options.demo ? Paths::default_demo_root() : Paths::default_root();
        if (!root) {
            r.refusal = no_home_message;
            return r;
        }
        r.options.root = *root;
    }
    r.error = check_server("--server", r.options.server);
    if (r.error.empty()) {
        r.error = check_server("--debug-server", r.options.debug_server);
    }
    if (r.error.empty() && !r.options.help) {
        r.refusal = apply_server_config(r.options, server_given);
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
