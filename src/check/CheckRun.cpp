#include "check/CheckRun.h"

#include "check/CheckOptions.h"
#include "check/FileKind.h"
#include "check/InputSnapshot.h"
#include "check/MemberListCheck.h"
#include "check/Problems.h"
#include "check/ShiftPlanCheck.h"

#include <optional>
#include <set>

namespace fs = std::filesystem;

namespace {

constexpr const char* program = "timerecorder-check: ";

std::optional<InputSnapshot> snapshot(const fs::path& file, Problems& problems) {
    InputSnapshot::Taken taken = InputSnapshot::take(file);
    if (!taken.snapshot) {
        problems.error(file.string(), 0, taken.error);
    }
    return std::move(taken.snapshot);
}

std::optional<std::set<std::string>> check_list(const fs::path& file, Problems& problems) {
    const auto copy = snapshot(file, problems);
    if (!copy) {
        return std::nullopt;
    }
    return check_member_list(file.string(), copy->path(), problems);
}

bool has_plans(const CheckOptions& o) {
    for (const fs::path& f : o.files) {
        if (file_kind(f) == FileKind::ShiftPlan) {
            return true;
        }
    }
    return false;
}

// The member list the plans' names are checked against: --members, else the one among the files.
std::optional<fs::path> names_list(const CheckOptions& o, std::string& error) {
    if (o.members) {
        return o.members;
    }
    std::optional<fs::path> found;
    for (const fs::path& f : o.files) {
        if (file_kind(f) != FileKind::MemberList) {
            continue;
        }
        if (found && *found != f && has_plans(o)) {
            error = "メンバーリストが複数あります。シフト表の氏名を照らすものを --members で指定してください";
            return std::nullopt;
        }
        found = f;
    }
    return found;
}

std::optional<std::string> unknown_file(const CheckOptions& o) {
    for (const fs::path& f : o.files) {
        if (file_kind(f) == FileKind::Unknown) {
            return "メンバーリスト（E99_member.csv, E99_*.csv）でもシフト表（S??_SHIFT.csv）でもない名前です: " +
                   f.string();
        }
    }
    return std::nullopt;
}

void check_files(const CheckOptions& o, const std::optional<fs::path>& names_from, Problems& problems) {
    std::optional<std::set<std::string>> names;
    if (names_from && has_plans(o)) {
        names = check_list(*names_from, problems);
    }
    for (const fs::path& f : o.files) {
        if (file_kind(f) == FileKind::MemberList) {
            if (f != names_from || !has_plans(o)) {
                check_list(f, problems);
            }
            continue;
        }
        const auto copy = snapshot(f, problems);
        if (!copy) {
            continue;
        }
        if (!names_from) {
            problems.note(f.string(), 0,
                          "メンバーリストがないため、氏名は照らしていません（--members で指定できます）");
        }
        check_shift_plan(f.string(), copy->path(), names ? &*names : nullptr, problems);
    }
}

} // namespace

int run_check(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CheckOptionsResult parsed = parse_check_options(args);
    if (!parsed.error.empty()) {
        err << program << parsed.error << "\n" << check_usage_text();
        return 2;
    }
    const CheckOptions& o = parsed.options;
    if (o.help) {
        out << check_usage_text();
        return 0;
    }
    std::string error;
    const std::optional<fs::path> names_from = names_list(o, error);
    if (const auto unknown = unknown_file(o)) {
        error = *unknown;
    }
    if (!error.empty()) {
        err << program << error << "\n";
        return 2;
    }
    Problems problems;
    check_files(o, names_from, problems);
    problems.print(out);
    out.flush();
    return problems.any_error() ? 1 : 0;
}
