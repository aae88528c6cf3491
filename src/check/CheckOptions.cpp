#include "check/CheckOptions.h"

CheckOptionsResult parse_check_options(const std::vector<std::string>& args) {
    CheckOptionsResult r;
    CheckOptions& o = r.options;
    bool options_end = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (options_end || a.empty() || a[0] != '-' || a == "-") {
            o.files.emplace_back(a);
        } else if (a == "--") {
            options_end = true;
        } else if (a == "-h" || a == "--help") {
            o.help = true;
        } else if (a == "--members" && i + 1 < args.size()) {
            o.members = args[++i];
        } else if (a.starts_with("--members=")) {
            o.members = a.substr(std::string("--members=").size());
        } else if (a == "--members") {
            r.error = "--members の後にメンバーリストのファイルを指定してください";
            return r;
        } else {
            r.error = "知らないオプションです: " + a;
            return r;
        }
    }
    if (o.files.empty() && !o.help) {
        r.error = "検査するファイルを指定してください";
    }
    return r;
}

std::string check_usage_text() {
    return "使い方: timerecorder-check [--members E99_member.csv] [--] ファイル...\n"
           "  本部がサーバーに置くメンバーリスト (E99_member.csv, E99_*.csv) とシフト表 (S??_SHIFT.csv) を\n"
           "  記録機と同じ読み方で読み、問題を「ファイル:行: 内容」で示します。\n"
           "  --members FILE  シフト表の氏名を照らすメンバーリスト (省略時はファイルの中のメンバーリスト)\n"
           "  -h, --help      この説明\n"
           "  終了状態: 0 店の動きを変える問題なし (注意のみ), 1 問題あり, 2 使い方の誤り\n";
}
