#include "report/Corrections.h"

#include "core/Cp932.h"
#include "core/TextFile.h"
#include "report/ReportTime.h"

#include <system_error>

namespace {

constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";
constexpr std::size_t journal_fields = 8;

// Whether the bytes are UTF-8 as a spreadsheet program writes it (no overlong or surrogate checks needed: a
// damaged byte is what this catches).
bool is_utf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        const std::size_t n = lead < 0x80         ? 1
                              : (lead >> 5) == 6  ? 2
                              : (lead >> 4) == 14 ? 3
                              : (lead >> 3) == 30 ? 4
                                                  : 0;
        if (n == 0 || i + n > s.size()) {
            return false;
        }
        for (std::size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += n;
    }
    return true;
}

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    const auto last = s.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
}

bool is_header(const std::vector<std::string>& fields) {
    return !fields.empty() && trimmed(fields[0]) == journal_header()[0];
}

// Reads one journal; lines are decoded by the file's encoding, told by its first bytes.
void read_journal(const std::filesystem::path& file, Journal& j) {
    std::error_code ec;
    textfile::LineReader reader;
    if (!std::filesystem::is_regular_file(file, ec) || !reader.open(file)) {
        j.troubles.push_back(JournalTrouble{file.string(), 0, "修正の記録を読めません"});
        return;
    }
    std::string_view raw;
    std::size_t number = 0;
    bool utf8 = false;
    while (reader.next_raw(raw)) {
        ++number;
        if (number == 1 && raw.substr(0, byte_order_mark.size()) == byte_order_mark) {
            utf8 = true;
            raw.remove_prefix(byte_order_mark.size());
        }
        std::optional<std::string> text =
            utf8 ? (is_utf8(raw) ? std::optional<std::string>(raw) : std::nullopt) : cp932::to_utf8_exactly(raw);
        if (!text) {
            j.troubles.push_back(JournalTrouble{file.string(), number, "文字を読めません"});
            continue;
        }
        if (trimmed(*text).empty()) {
            continue;
        }
        std::vector<std::string> fields;
        if (number == 1 && split_csv(*text, fields) && is_header(fields)) {
            continue;
        }
        JournalLine line = parse_journal_line(*text);
        if (!line.why.empty()) {
            j.troubles.push_back(JournalTrouble{file.string(), number, line.why});
            continue;
        }
        line.correction.file = file.string();
        line.correction.line = number;
        j.corrections.push_back(std::move(line.correction));
    }
}

} // namespace

const std::vector<std::string>& journal_header() {
    static const std::vector<std::string> header = {"店舗", "コード", "日時",   "区分",
                                                    "操作", "理由",   "修正者", "記入日時"};
    return header;
}

bool split_csv(std::string_view line, std::vector<std::string>& fields) {
    fields.assign(1, std::string());
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"' && (quoted || fields.back().empty())) {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return !quoted;
}

JournalLine parse_journal_line(std::string_view utf8_line) {
    JournalLine r;
    std::vector<std::string> f;
    if (!split_csv(utf8_line, f)) {
        r.why = "引用符 (\") が閉じていません";
        return r;
    }
    f.resize(std::max(f.size(), journal_fields));
    for (auto& field : f) {
        field = trimmed(field);
    }
    Correction& c = r.correction;
    c.store = f[0];
    c.code = f[1];
    const auto minute = report::parse_stamp_minute(f[2]);
    c.minute = minute.value_or(0);
    c.shift_in = f[3] == "1";
    c.add = f[4] == "追加";
    c.reason = f[5];
    c.who = f[6];
    c.written = f[7];
    if (c.store.empty() || c.code.empty()) {
        r.why = "店舗またはコードがありません";
    } else if (!minute) {
        r.why = f[2].find(':') == std::string::npos ? "日時の時刻がありません (yyyy/m/d h:mm)"
                                                    : "日時を読めません (yyyy/m/d h:mm): " + f[2];
    } else if (f[3] != "1" && f[3] != "2") {
        r.why = "区分は 1 (出勤) か 2 (退勤) です: " + f[3];
    } else if (f[4] != "追加" && f[4] != "取消") {
        r.why = "操作は 追加 か 取消 です: " + f[4];
    } else if (c.reason.empty()) {
        r.why = "理由がありません";
    } else if (c.who.empty()) {
        r.why = "修正者がありません";
    }
    return r;
}

Journal read_journals(const std::vector<std::filesystem::path>& files) {
    Journal j;
    for (const auto& f : files) {
        read_journal(f, j);
    }
    return j;
}

std::string correction_text(const Correction& c) {
    const std::int64_t day = report::floor_div(c.minute, report::minutes_per_day);
    return std::string(c.shift_in ? "出勤" : "退勤") + (c.add ? "を追加 " : "を取消 ") + report::date_text(day) + " " +
           report::clock_text(c.minute) + " (" + c.reason + " / " + c.who + ")";
}
