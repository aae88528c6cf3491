#include "app/demo/SampleStore.h"

#include "core/TextFile.h"
#include "core/TimeText.h"
#include "lists/ShiftPlan.h"
#include "lists/TitleLine.h"

#include <algorithm>
#include <array>

namespace sample {

namespace {

constexpr std::array<const char*, 26> names{
    "山田 花子", "佐藤 健",   "鈴木 美咲", "高橋 大輔", "田中 由美",     "伊藤 翔太", "渡辺 さくら",
    "中村 陽菜", "小林 蓮",   "加藤 結衣", "吉田 拓海", "佐々木 美由紀", "山口 優斗", "松本 葵",
    "井上 悠真", "木村 芽依", "林 大和",   "斎藤 莉子", "清水 颯太",     "山崎 心春", "森 陽翔",
    "池田 美桜", "橋本 湊",   "阿部 紬",   "石川 朝陽", "長谷川 ひまり"};

std::vector<Member> make_members() {
    std::vector<Member> all;
    for (std::size_t i = 0; i < names.size(); ++i) {
        all.push_back({std::to_string(101 + i), names[i], "012E4C1B3A5F" + std::to_string(1000 + i)});
    }
    return all;
}

} // namespace

const std::vector<Member>& members() {
    static const std::vector<Member> all = make_members();
    return all;
}

std::string unknown_idm() {
    return "0139F2A8C4D1E7B6";
}

Status write_settings(const Paths& paths) {
    std::error_code ec;
    std::filesystem::create_directories(paths.zerbanto(), ec);
    return textfile::write_lines_atomic(
        paths.settings_file(),
        {"会社名= Corvale", std::string("店舗CD = ") + store_code, "店舗名 = 第一店", "F転送= 12:15", "F転送= 01:30"});
}

Status write_members(const std::filesystem::path& file, std::size_t count, std::string_view date_text) {
    std::vector<std::string> lines{std::string(title_line_code) + "," + std::string(date_text)};
    const auto& all = members();
    for (std::size_t i = 0; i < std::min(count, all.size()); ++i) {
        lines.push_back(all[i].code + "," + all[i].name + "," + all[i].idm);
    }
    return textfile::write_lines_atomic(file, lines);
}

Status write_shift_plan(const Paths& paths, const DateTime& today, const std::vector<PlanEntry>& plan) {
    const std::string day = timetext::yymmdd(today);
    std::vector<std::string> lines{std::string(title_line_code) + "," + std::to_string(today.month) + "月" +
                                   std::to_string(today.day) + "日のシフト"};
    for (const PlanEntry& e : plan) {
        const Member& m = members().at(e.member);
        lines.push_back(day + "," + m.name + "," + m.code + "," + e.start + "," + e.leave);
    }
    return textfile::write_lines_atomic(paths.file(shift_file_name(store_code)), lines);
}

} // namespace sample
