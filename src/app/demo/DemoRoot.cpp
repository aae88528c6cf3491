#include "app/demo/DemoRoot.h"

#include "app/demo/SampleStore.h"
#include "core/SystemErrorText.h"
#include "core/TextFile.h"
#include "lists/ShiftPlan.h"

#include <algorithm>
#include <cstdio>

namespace fs = std::filesystem;

namespace {

// Raised whenever the sample files change, so that every demo folder is filled afresh once.
constexpr const char* samples_version = "timerecorder demo 1";

std::string iso_date(const DateTime& d) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
    return text;
}

bool is_file(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

// Members 1 to 6 planned from the morning on, the others come unplanned.
const std::vector<sample::PlanEntry> demo_plan{{0, "9:00", "17:00"},  {1, "9:00", "15:00"},  {2, "10:00", "18:00"},
                                               {3, "11:00", "20:00"}, {4, "13:00", "22:00"}, {5, "17:00", "22:00"}};

} // namespace

DemoRoot::DemoRoot(fs::path root) : paths_(std::move(root)) {}

std::vector<std::string> DemoRoot::key_cards() {
    std::vector<std::string> cards;
    for (std::size_t i = 0; i + 1 < member_count; ++i) {
        cards.push_back(sample::members()[i].idm);
    }
    cards.push_back(sample::unknown_idm());
    return cards;
}

std::string DemoRoot::legend() const {
    std::string text = "デモ: カードの代わりにキーを押します。\n";
    auto key = [](std::size_t n) {
        std::string name = "F" + std::to_string(n);
        return "  " + name + std::string(5 - name.size(), ' ');
    };
    for (std::size_t i = 0; i + 1 < member_count; ++i) {
        const auto& m = sample::members()[i];
        text += key(i + 1) + m.name + " (" + m.code + ")\n";
    }
    const auto& last = sample::members()[member_count - 1];
    text += key(member_count) + "未登録のカード (" + last.name + " の新しいカード: キャストコード " + last.code +
            " で登録)\n";
    text += "USB メモリの代わり: " + usb_stick().string() + "\n";
    return text;
}

std::string DemoRoot::key_summary() {
    return "デモ: F1〜F11 メンバーのカード、F12 未登録のカード";
}

std::vector<std::string> DemoRoot::mark(const DateTime& today) const {
    return {samples_version, iso_date(today)};
}

bool DemoRoot::outdated(const DateTime& today) const {
    const auto marked = textfile::read_lines(paths_.root() / mark_file);
    if (!marked || *marked != mark(today)) {
        return true;
    }
    return !is_file(paths_.settings_file()) || !is_file(paths_.member_list()) ||
           !is_file(paths_.file(shift_file_name(sample::store_code)));
}

bool DemoRoot::is_store_folder_of_its_own() const {
    if (is_file(paths_.root() / mark_file)) {
        return false;
    }
    // Hidden files, such as the lock of the running copy, belong to no store.
    std::error_code ec;
    for (fs::directory_iterator it(paths_.zerbanto(), ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().filename().string().rfind('.', 0) != 0) {
            return true;
        }
    }
    return false;
}

std::string DemoRoot::prepare(const DateTime& today) const {
    if (is_store_folder_of_its_own()) {
        return "このフォルダーには店舗のデータがあるため、デモには使えません。\n" + paths_.root().string();
    }
    if (!outdated(today)) {
        return {};
    }
    return write_samples(today);
}

std::string DemoRoot::write_samples(const DateTime& today) const {
    std::error_code ec;
    fs::create_directories(paths_.zerbanto(), ec);
    if (!ec) {
        fs::create_directories(usb_stick(), ec);
    }
    if (ec) {
        return "デモのフォルダーを作成できません。\n" + paths_.root().string() + "\n" + system_error_text(ec);
    }
    // The member list's date line, as short as the head office writes it: the label for it is narrow.
    std::string date_text = iso_date(today);
    std::replace(date_text.begin(), date_text.end(), '-', '/');
    // The mark goes first, without a day: a fill that breaks off leaves a folder that is still the demo's.
    const bool written = textfile::write_lines_atomic(paths_.root() / mark_file, {samples_version, ""}) &&
                         sample::write_settings(paths_) &&
                         sample::write_members(paths_.member_list(), member_count, date_text) &&
                         sample::write_shift_plan(paths_, today, demo_plan) &&
                         sample::write_members(usb_stick() / "E99_member.csv", member_count, date_text) &&
                         textfile::write_lines_atomic(paths_.root() / mark_file, mark(today));
    if (!written) {
        return "デモのデータを書き込めません。\n" + paths_.root().string();
    }
    return {};
}
