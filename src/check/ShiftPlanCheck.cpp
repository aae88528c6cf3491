#include "check/ShiftPlanCheck.h"

#include "board/BoardState.h"
#include "check/InputSnapshot.h"
#include "check/LineBytes.h"
#include "check/PlanFields.h"
#include "core/CommaFields.h"
#include "core/Cp932.h"
#include "core/ErrorNumber.h"
#include "core/TextFile.h"
#include "lists/ShiftPlan.h"
#include "lists/TitleLine.h"

#include <map>
#include <vector>

namespace {

constexpr std::size_t plan_fields = 5;
const std::string stops_all = "記録機はこの行で読み込みを止め、後の行はどの日も表示されません";
const std::string stops_day = "記録機はこの日の読み込みをここで止め、この日の後の行は表示されません";

// Lines as the file holds them, with their numbers.
using RawLines = std::vector<std::pair<int, std::string>>;

// The lines of one day that become board rows, in order, and whether the day's loading stops in the file;
// read, the day's lines the recorder reads (those taken and the one it stops at).
struct DayLines {
    std::vector<int> lines;
    bool stops = false;
    RawLines read;
};

// The days, and the line that stops the loading of every day, if any. Title lines with their text change no
// row and are left out of each day's reading: a file of many titles costs no more than one.
struct PlanMap {
    std::map<std::string, DayLines> days;
    RawLines every_day;
    bool titled = false;
    bool read = false;
};

// Takes a plan line of a well-formed day; false when the day's loading stops at it.
void take_plan_line(const std::string& shown, int n, std::size_t field_count, DayLines& day, Problems& problems) {
    if (field_count < plan_fields) {
        problems.error(shown, n,
                       "欄が " + std::to_string(field_count) +
                           " つしかありません（日付,氏名,,開始予定,帰宅予定 の 5 つが要ります）。" + stops_day);
        day.stops = true;
    } else if (day.lines.size() == board_rows) {
        problems.error(shown, n, "この日の 27 行目です。掲示板は 26 行までです。" + stops_day);
        day.stops = true;
    } else {
        day.lines.push_back(n);
    }
}

// One line; false when the loading of every day stops at it.
bool map_line(const std::string& shown, int n, std::string_view raw, PlanMap& map, Problems& problems) {
    if (raw.empty()) {
        map.every_day.emplace_back(n, raw);
        problems.error(shown, n, "空行です。" + stops_all);
        return false;
    }
    const std::string text = cp932::to_utf8(raw);
    const auto fields = split_commas(text);
    if (fields[0] == title_line_code) {
        map.titled = true; // one without its text is told at its line
        if (fields.size() < 2) {
            map.every_day.emplace_back(n, raw);
            problems.error(shown, n, "題の行（99999）に題の欄がありません。" + stops_all);
            return false;
        }
        return true;
    }
    if (!is_plan_day(fields[0])) {
        problems.error(shown, n,
                       "日付「" + std::string(fields[0]) +
                           "」は yymmdd（年月日 6 桁）の日付ではありません。この行はどの日にも表示されません");
        return true;
    }
    DayLines& day = map.days[std::string(fields[0])];
    if (!day.stops) {
        day.read.emplace_back(n, raw);
        take_plan_line(shown, n, fields.size(), day, problems);
    }
    return true;
}

PlanMap map_lines(const std::string& shown, const std::filesystem::path& file, Problems& problems) {
    PlanMap map;
    textfile::LineReader reader;
    if (!reader.open(file)) {
        return map;
    }
    map.read = true;
    bool stopped = false;
    std::string_view raw;
    for (int n = 1; reader.next_raw(raw); ++n) {
        if (auto why = line_bytes_problem(raw)) {
            problems.error(shown, n, *why);
        }
        if (!stopped && !map_line(shown, n, raw, map, problems)) {
            stopped = true;
            for (auto& [key, day] : map.days) {
                day.stops = true;
            }
        }
    }
    return map;
}

void check_time(const std::string& shown, int line, const std::string& what, const std::string& time,
                Problems& problems) {
    if (time.empty()) {
        problems.note(shown, line, what + "が空です");
    } else if (!is_board_time(time)) {
        problems.error(shown, line, what + "「" + time + "」は掲示板の時刻（h:mm、0:00〜23:59）ではありません");
    }
}

void check_row(const std::string& shown, int line, const BoardEntry& row, const std::set<std::string>* members,
               Problems& problems) {
    if (row.name.empty()) {
        problems.error(shown, line, "氏名が空です。掲示板の行がここで途切れ、後の人の打刻は予定の行に付きません");
    } else if (members != nullptr && members->count(row.name) == 0) {
        problems.error(shown, line,
                       "氏名「" + row.name + "」はメンバーリストにありません。この人の打刻はこの予定の行に付きません");
    }
    check_time(shown, line, "開始予定", row.planned_start, problems);
    check_time(shown, line, "帰宅予定", row.planned_leave, problems);
}

// The lines the recorder reads on the day, in file order: the lines of other days, which it passes over, left
// out, so that each day costs its own lines and not the whole file.
std::string day_file(const RawLines& every_day, const RawLines& day) {
    std::string bytes;
    auto a = every_day.begin();
    auto b = day.begin();
    while (a != every_day.end() || b != day.end()) {
        const bool shared = b == day.end() || (a != every_day.end() && a->first < b->first);
        bytes.append(shared ? (a++)->second : (b++)->second).append("\r\n");
    }
    return bytes;
}

// Loads the day with the recorder's own reader and checks the rows it shows.
void check_day(const std::string& shown, const PlanMap& map, const std::string& key, const DayLines& day,
               const std::set<std::string>* members, Problems& problems) {
    const auto copy = InputSnapshot::of_bytes(day_file(map.every_day, day.read));
    if (!copy) {
        problems.error(shown, 0, "写しを作れません: " + key);
        return;
    }
    BoardState board;
    std::string title;
    bool stopped = false;
    try {
        load_shift_plan(board, title, copy->path(), key);
    } catch (const RuntimeError&) {
        stopped = true;
    }
    if (stopped != day.stops) {
        problems.error(shown, 0, "記録機と同じ読み方ができませんでした（検査の誤り）: " + key);
        return;
    }
    std::map<std::string, int> name_at;
    for (std::size_t k = 0; k < day.lines.size(); ++k) {
        const BoardEntry& row = board.rows[k];
        const int line = day.lines[k];
        check_row(shown, line, row, members, problems);
        if (auto [at, fresh] = name_at.try_emplace(row.name, line); !fresh && !row.name.empty()) {
            problems.note(shown, line,
                          "氏名「" + row.name + "」はこの日の " + std::to_string(at->second) +
                              " 行目にもあります。打刻は先の行に付きます");
        }
    }
}

} // namespace

void check_shift_plan(const std::string& shown, const std::filesystem::path& file, const std::set<std::string>* members,
                      Problems& problems) {
    const PlanMap map = map_lines(shown, file, problems);
    if (!map.read) {
        problems.error(shown, 0, "読めません");
        return;
    }
    if (!map.titled) {
        problems.note(shown, 0, "題の行（99999,題）がありません。店の画面の題は前のままです");
    }
    for (const auto& [key, day] : map.days) {
        check_day(shown, map, key, day, members, problems);
    }
}
