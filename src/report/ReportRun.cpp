#include "report/ReportRun.h"

#include "core/Cp932.h"
#include "report/CsvWriter.h"
#include "report/HtmlWriter.h"
#include "report/InputFiles.h"
#include "report/MemberCodes.h"
#include "report/ReportOptions.h"
#include "report/ReportTime.h"
#include "report/StampCollector.h"
#include "report/Timesheet.h"

#include <fstream>

namespace {

constexpr const char* program = "timerecorder-report: ";

StampFilter filter_for(const ReportOptions& o) {
    StampFilter f = pairing_window(o.first_day, o.last_day);
    if (o.store) {
        f.store = cp932::from_utf8(*o.store);
    }
    if (o.member) {
        f.member = cp932::from_utf8(*o.member);
    }
    return f;
}

std::string range_text(const ReportOptions& o, const Timesheet& sheet) {
    std::int64_t first = o.first_day, last = o.last_day;
    const bool open_start = first == ReportOptions{}.first_day, open_end = last == ReportOptions{}.last_day;
    if (open_start || open_end) {
        std::int64_t lo = INT64_MAX, hi = INT64_MIN;
        for (const auto& s : sheet.stores) {
            for (const auto& m : s.members) {
                lo = std::min(lo, m.days.front().day);
                hi = std::max(hi, m.days.back().day);
            }
        }
        if (lo > hi) {
            return "営業日: なし";
        }
        first = open_start ? lo : first;
        last = open_end ? hi : last;
    }
    return "営業日 " + report::date_text(first) + " 〜 " + report::date_text(last);
}

struct Counts {
    std::size_t files = 0, earlier = 0, lines = 0, unreadable = 0, stamps = 0, members = 0, anomalies = 0;
};

void summary(std::ostream& err, const Counts& c) {
    err << "ファイル: " << c.files << "\n"
        << "前のコピーとして読まなかったファイル: " << c.earlier << "\n"
        << "行: " << c.lines << "\n"
        << "読めない行: " << c.unreadable << "\n"
        << "打刻: " << c.stamps << "\n"
        << "メンバー: " << c.members << "\n"
        << "注意: " << c.anomalies << "\n";
}

bool write_output(const ReportOptions& o, const Timesheet& sheet, const std::string& subtitle, std::ostream& out) {
    std::ofstream file;
    if (o.output) {
        file.open(*o.output, std::ios::binary | std::ios::trunc);
        if (!file) {
            return false;
        }
    }
    std::ostream& dest = o.output ? file : out;
    if (o.format == ReportOptions::Format::Html) {
        write_html(sheet, dest, subtitle);
    } else {
        write_csv(sheet, dest, o.encoding == ReportOptions::Encoding::Utf8);
    }
    dest.flush();
    return static_cast<bool>(dest);
}

} // namespace

int run_report(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ReportOptionsResult parsed = parse_report_options(args);
    if (!parsed.error.empty()) {
        err << program << parsed.error << "\n" << report_usage_text();
        return 2;
    }
    const ReportOptions& o = parsed.options;
    if (o.help) {
        out << report_usage_text();
        return 0;
    }
    int status = 0;
    std::optional<std::set<std::string>> listed;
    if (o.members) {
        auto codes = read_member_codes(*o.members);
        if (codes) {
            listed = std::move(*codes);
        } else {
            err << program << "メンバーリストを読めません: " << o.members->string() << "\n";
            status = 1;
        }
    }
    const InputFiles inputs = gather_inputs(o.inputs);
    for (const auto& e : inputs.errors) {
        err << program << e << "\n";
        status = 1;
    }
    StampCollector collector(filter_for(o), [&](const std::filesystem::path& file, std::size_t line) {
        err << program << "読めない行を飛ばしました: " << file.string() << ":" << line << "\n";
    });
    for (const auto& file : inputs.read) {
        if (!collector.read_file(file)) {
            err << program << "読めません: " << file.string() << "\n";
            status = 1;
        }
    }
    Timesheet sheet = build_timesheet(collector.members(), o.first_day, o.last_day, listed);
    const std::string subtitle = range_text(o, sheet) + "・ファイル " + std::to_string(inputs.read.size());
    if (!write_output(o, sheet, subtitle, out)) {
        err << program << "書き込めません: " << (o.output ? o.output->string() : std::string("標準出力")) << "\n";
        status = 1;
    }
    summary(err, Counts{inputs.found, inputs.earlier_copies.size(), collector.lines(), collector.unreadable(),
                        collector.stamps(), sheet.members, sheet.anomalies});
    return status;
}
