#include "check/MemberListCheck.h"

#include "check/LineBytes.h"
#include "core/CommaFields.h"
#include "core/Cp932.h"
#include "core/TextFile.h"
#include "lists/MemberList.h"
#include "lists/MemberTable.h"
#include "lists/TitleLine.h"

#include <map>
#include <memory>
#include <vector>

namespace {

// A value no line can hold: the date the recorder keeps when the file gives it none.
constexpr std::string_view no_date = "\n";

// The file's line numbers of the member lines, in the order the recorder gives them slots.
struct LineMap {
    std::vector<int> member_lines;
    bool read = false;
};

LineMap map_lines(const std::string& shown, const std::filesystem::path& file, Problems& problems) {
    LineMap map;
    textfile::LineReader reader;
    if (!reader.open(file)) {
        return map;
    }
    map.read = true;
    std::string_view raw;
    for (int n = 1; reader.next_raw(raw); ++n) {
        if (auto why = line_bytes_problem(raw)) {
            problems.error(shown, n, *why);
        }
        if (raw.empty()) {
            continue; // the recorder passes over an empty line
        }
        const std::string text = cp932::to_utf8(raw);
        const auto fields = split_commas(text);
        if (fields[0] != title_line_code) {
            map.member_lines.push_back(n);
        } else if (fields.size() < 2) {
            problems.error(shown, n, "日付の行（99999）に日付の欄がありません。記録機は日付を変えません");
        }
    }
    return map;
}

bool is_reader_idm(std::string_view idm) {
    if (idm.empty() || idm.size() % 2 != 0) {
        return false;
    }
    return idm.find_first_not_of("0123456789ABCDEF") == std::string_view::npos;
}

bool is_keypad_code(std::string_view code) {
    return code.find_first_not_of("0123456789") == std::string_view::npos;
}

void check_member(const std::string& shown, int line, const MemberTable::Slot& m, Problems& problems) {
    if (m.code->empty()) {
        problems.error(shown, line, "コードが空です");
    } else if (!is_keypad_code(*m.code)) {
        problems.note(shown, line, "コード「" + *m.code + "」は数字だけではありません。テンキーでは打てません");
    }
    if (m.name.empty()) {
        problems.error(shown, line, "氏名が空です。この人の打刻で掲示板の行が途切れます");
    }
    if (m.idm.empty()) {
        problems.error(shown, line, "カードIDmがありません。この人はカードで打刻できません");
    } else if (!is_reader_idm(m.idm)) {
        problems.error(shown, line,
                       "カードIDm「" + m.idm +
                           "」は読み取り機の返す形（英大文字と数字の16進、偶数桁）ではありません。"
                           "このカードは見つかりません");
    }
}

// A code or a card of a member seen before: the first member wins every lookup.
void check_repeats(const std::string& shown, const MemberTable& table, const std::vector<int>& lines,
                   Problems& problems) {
    std::map<std::string, int> code_at;
    std::map<std::string, int> idm_at;
    const int members = table.end_index();
    for (int i = 0; i < members; ++i) {
        const MemberTable::Slot& m = table.slot(i);
        const int line = lines[static_cast<std::size_t>(i)];
        if (auto [at, fresh] = code_at.try_emplace(*m.code, line); !fresh) {
            problems.error(shown, line,
                           "コード「" + *m.code + "」は " + std::to_string(at->second) + " 行目と重複しています");
        }
        if (m.idm.empty()) {
            continue;
        }
        if (auto [at, fresh] = idm_at.try_emplace(m.idm, line); !fresh) {
            problems.error(shown, line,
                           "カードIDm「" + m.idm + "」は " + std::to_string(at->second) +
                               " 行目の人と同じです。このカードは先の人として打刻されます");
        }
    }
}

} // namespace

std::set<std::string> check_member_list(const std::string& shown, const std::filesystem::path& file,
                                        Problems& problems) {
    const LineMap map = map_lines(shown, file, problems);
    // The table the recorder would hold: too large for the stack.
    auto table = std::make_unique<MemberTable>();
    std::string date(no_date);
    if (!map.read || !load_member_list(file, *table, date)) {
        problems.error(shown, 0, "読めません");
        return {};
    }
    const int members = table->end_index();
    if (static_cast<std::size_t>(members) != std::min<std::size_t>(map.member_lines.size(), MemberTable::slot_count)) {
        problems.error(shown, 0, "記録機と同じ読み方ができませんでした（検査の誤り）");
        return {};
    }
    if (date == no_date) {
        problems.error(shown, 0, "日付の行（99999,日付）がありません。店の画面には前のリストの日付が残ります");
    }
    if (members == 0) {
        problems.error(shown, 0, "メンバーが一人もいません。店では誰もカードで打刻できなくなります");
    }
    if (map.member_lines.size() > MemberTable::slot_count) {
        problems.error(shown, map.member_lines[MemberTable::slot_count],
                       "メンバーは 10001 人までです。ここから後の行は読み込まれません");
    }
    std::set<std::string> names;
    for (int i = 0; i < members; ++i) {
        check_member(shown, map.member_lines[static_cast<std::size_t>(i)], table->slot(i), problems);
        names.insert(table->slot(i).name);
    }
    check_repeats(shown, *table, map.member_lines, problems);
    return names;
}
