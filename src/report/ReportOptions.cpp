#include "report/ReportOptions.h"

#include "report/LabourLaw.h"
#include "report/ReportTime.h"

#include <functional>
#include <map>

namespace {

struct Range {
    std::optional<std::int64_t> month_first, month_last, from, to;
};

std::optional<std::string> parse_month(const std::string& text, Range& range) {
    if (text.size() != 7 || text[4] != '-') {
        return "--month は YYYY-MM の形で指定してください: " + text;
    }
    const auto first = report::parse_iso_date(text + "-01");
    if (!first) {
        return "--month の年月が正しくありません: " + text;
    }
    const report::CivilDate d = report::civil_from_days(*first);
    range.month_first = *first;
    range.month_last = *first + report::days_in_month(d.year, d.month) - 1;
    return std::nullopt;
}

std::optional<std::string> parse_day(const std::string& option, const std::string& text,
                                     std::optional<std::int64_t>& day) {
    day = report::parse_iso_date(text);
    if (!day) {
        return option + " の日付が正しくありません (YYYY-MM-DD): " + text;
    }
    return std::nullopt;
}

std::optional<std::string> settle_range(const Range& range, ReportOptions& o) {
    if (range.month_first && (range.from || range.to)) {
        return std::string("--month と --from/--to は一緒に使えません");
    }
    if (range.month_first) {
        o.first_day = *range.month_first;
        o.last_day = *range.month_last;
    }
    if (range.from) {
        o.first_day = *range.from;
    }
    if (range.to) {
        o.last_day = *range.to;
    }
    if (o.first_day > o.last_day) {
        return std::string("--from の日付が --to の日付より後です");
    }
    return std::nullopt;
}

using Setter = std::function<std::optional<std::string>(const std::string&)>;

std::map<std::string, Setter> value_options(ReportOptions& o, Range& range) {
    return {
        {"--members", [&](const std::string& v) { return o.members = v, std::optional<std::string>{}; }},
        {"--output", [&](const std::string& v) { return o.output = v, std::optional<std::string>{}; }},
        {"--corrections",
         [&](const std::string& v) { return o.corrections.emplace_back(v), std::optional<std::string>{}; }},
        {"--corrections-template",
         [&](const std::string& v) { return o.corrections_template = v, std::optional<std::string>{}; }},
        {"--store", [&](const std::string& v) { return o.store = v, std::optional<std::string>{}; }},
        {"--member", [&](const std::string& v) { return o.member = v, std::optional<std::string>{}; }},
        {"--month", [&](const std::string& v) { return parse_month(v, range); }},
        {"--from", [&](const std::string& v) { return parse_day("--from", v, range.from); }},
        {"--to", [&](const std::string& v) { return parse_day("--to", v, range.to); }},
        {"--format",
         [&](const std::string& v) -> std::optional<std::string> {
             if (v != "csv" && v != "html" && v != "payroll") {
                 return "--format には csv、html か payroll を指定してください: " + v;
             }
             o.format = v == "csv"    ? ReportOptions::Format::Csv
                        : v == "html" ? ReportOptions::Format::Html
                                      : ReportOptions::Format::Payroll;
             return std::nullopt;
         }},
        {"--week-start",
         [&](const std::string& v) -> std::optional<std::string> {
             const auto day = parse_week_start(v);
             if (!day) {
                 return "--week-start には曜日 (日〜土、sun〜sat、0〜6) を指定してください: " + v;
             }
             o.week_start = *day;
             return std::nullopt;
         }},
        {"--hours",
         [&](const std::string& v) -> std::optional<std::string> {
             if (v != "hmm" && v != "decimal") {
                 return "--hours には hmm か decimal を指定してください: " + v;
             }
             o.decimal_hours = v == "decimal";
             return std::nullopt;
         }},
        {"--encoding",
         [&](const std::string& v) -> std::optional<std::string> {
             if (v != "cp932" && v != "utf-8") {
                 return "--encoding には cp932 か utf-8 を指定してください: " + v;
             }
             o.encoding = v == "cp932" ? ReportOptions::Encoding::Cp932 : ReportOptions::Encoding::Utf8;
             return std::nullopt;
         }},
    };
}

// The options that shape the payroll file alone, where another format is asked for.
std::string payroll_only(const std::vector<std::string>& args) {
    for (const auto& a : args) {
        if (a == "--round-monthly" || a == "--hours" || a.rfind("--hours=", 0) == 0) {
            return a + " は --format payroll と一緒に使います";
        }
    }
    return {};
}

} // namespace

ReportOptionsResult parse_report_options(const std::vector<std::string>& args) {
    ReportOptionsResult r;
    Range range;
    auto setters = value_options(r.options, range);
    bool only_inputs = false; // after "--"
    for (std::size_t i = 0; i < args.size() && r.error.empty(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (only_inputs || name.size() < 2 || name[0] != '-') {
            r.options.inputs.emplace_back(args[i]);
            continue;
        }
        if (name == "--") {
            only_inputs = true;
            continue;
        }
        if (name == "-h" || name == "--help") {
            r.options.help = true;
            continue;
        }
        if (name == "--round-monthly") {
            r.options.round_monthly = true;
            continue;
        }
        if (name == "-o") {
            name = "--output";
        }
        if (const auto eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        const auto setter = setters.find(name);
        if (setter == setters.end()) {
            r.error = "知らないオプションです: " + args[i];
        } else if (!value && i + 1 >= args.size()) {
            r.error = name + " の値がありません";
        } else if (auto e = setter->second(value ? *value : args[++i])) {
            r.error = *e;
        }
    }
    if (r.error.empty()) {
        r.error = settle_range(range, r.options).value_or("");
    }
    if (r.error.empty() && r.options.format != ReportOptions::Format::Payroll) {
        r.error = payroll_only(args);
    }
    if (r.error.empty() && !r.options.help && r.options.inputs.empty()) {
        r.error = "読み込む勤怠ログのファイルかフォルダーを指定してください";
    }
    return r;
}

std::string report_usage_text() {
    return "使い方: timerecorder-report [オプション] ファイルまたはフォルダー...\n"
           "勤怠ログ (KLOG_*.csv、USB の書き出し、本部のアップロード K*_yymmdd_hhmm.CSV) から勤務表を作ります。\n"
           "  --month YYYY-MM        その月の営業日\n"
           "  --from YYYY-MM-DD      この営業日から\n"
           "  --to YYYY-MM-DD        この営業日まで\n"
           "  --store CODE           この店舗だけ\n"
           "  --member CODE          このコードだけ\n"
           "  --members FILE         メンバーリスト (E99_member.csv): ないコードを注意に出す\n"
           "  --format csv|html|payroll 出力の形 (既定 csv; payroll は給与ソフトに読ませるメンバーごと 1 行)\n"
           "  --week-start 曜日      週の始まり: 日〜土、sun〜sat、0〜6 (既定 日曜)\n"
           "  --hours hmm|decimal    payroll の時間の書き方: 8:15 か 8.25 (既定 hmm)\n"
           "  --round-monthly        payroll の月の時間外・60時間超・深夜を時間単位に "
           "(30分未満切り捨て、以上切り上げ)\n"
           "  --encoding cp932|utf-8 CSV の文字コード (既定 cp932、改行 CR LF)\n"
           "  -o, --output FILE      出力先 (既定 標準出力)\n"
           "  --corrections FILE     修正の記録 (何度でも): 打刻の追加と取消、理由と修正者つき\n"
           "  --corrections-template FILE\n"
           "                         注意の一件ごとに一行の修正の記録の下書きを書く\n"
           "  --                     これより後はすべてファイルまたはフォルダー\n"
           "  -h, --help             この説明\n"
           "終了コード: 0 正常、1 読めない入力があった、2 使い方の誤り\n";
}
