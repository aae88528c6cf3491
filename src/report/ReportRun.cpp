#include "report/ReportRun.h"

#include "core/Cp932.h"
#include "report/AppliedCorrections.h"
#include "report/Corrections.h"
#include "report/CorrectionsTemplate.h"
#include "report/CsvWriter.h"
#include "report/HtmlWriter.h"
#include "report/InputFiles.h"
#include "report/LabourLaw.h"
#include "report/LogReading.h"
#include "report/MemberCodes.h"
#include "report/OutputFile.h"
#include "report/PayrollWriter.h"
#include "report/ReportOptions.h"
#include "report/ReportTime.h"
#include "report/StampCollector.h"
#include "report/Timesheet.h"

#include <algorithm>
#include <thread>

namespace {

constexpr const char* program = "timerecorder-report: ";

StampFilter filter_for(const ReportOptions& o) {
    StampFilter f = pairing_window(week_lookback(o.first_day), o.last_day);
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

// Two threads read the files and pair the stays where the machine has two cores or more.
unsigned work_threads() {
    return std::clamp(std::thread::hardware_concurrency(), 1U, 2U);
}

struct Counts {
    std::size_t files = 0, earlier = 0, lines = 0, unreadable = 0, stamps = 0, members = 0, anomalies = 0, legal = 0;
};

void summary(std::ostream& err, const Counts& c) {
    err << "ファイル: " << c.files << "\n"
        << "前のコピーとして読まなかったファイル: " << c.earlier << "\n"
        << "行: " << c.lines << "\n"
        << "読めない行: " << c.unreadable << "\n"
        << "打刻: " << c.stamps << "\n"
        << "メンバー: " << c.members << "\n"
        << "注意: " << c.anomalies << "\n"
        << "法定の注意: " << c.legal << "\n";
}

struct Written {
    bool ok = false;
    std::size_t members = 0;
    std::size_t anomalies = 0;
    std::size_t legal = 0; // short breaks and months past a limit

    void count(const StoreSheet& store) {
        members += store.members.size();
        anomalies += store.anomalies;
        for (const auto& m : store.members) {
            legal += static_cast<std::size_t>(m.law.totals.short_break_days) + law_month_notes(m.law).size();
        }
    }
};

// Pairs the stamps and writes the report: CSV store by store as the stores are paired, HTML once all are.
// Where the output cannot be opened the figures are still worked out for the summary.
Written write_report(const ReportOptions& o, CollectedStamps& collected,
                     const std::optional<std::set<std::string>>& listed, std::size_t files, std::ostream& out,
                     CorrectionsTemplate& journal_template) {
    std::optional<ReplacingFile> file;
    bool opened = true;
    if (o.output) {
        opened = file.emplace(*o.output).open();
    }
    std::ostream nowhere(nullptr);
    std::ostream& dest = !opened ? nowhere : o.output ? file->stream() : out;
    Written w;
    const bool utf8 = o.encoding == ReportOptions::Encoding::Utf8;
    if (o.format == ReportOptions::Format::Html) {
        const Timesheet sheet =
            build_timesheet(collected, o.first_day, o.last_day, listed, work_threads(), o.week_start);
        write_html(sheet, dest, range_text(o, sheet) + "・ファイル " + std::to_string(files));
        for (const auto& store : sheet.stores) {
            journal_template.add(store);
            w.count(store);
        }
    } else if (o.format == ReportOptions::Format::Payroll) {
        PayrollWriter payroll(dest, PayrollFormat{utf8, o.decimal_hours, o.round_monthly});
        for_each_store_sheet(collected, o.first_day, o.last_day, listed, work_threads(), o.week_start,
                             [&](StoreSheet& store) {
                                 payroll.store(store);
                                 journal_template.add(store);
                                 w.count(store);
                             });
    } else {
        CsvSheetWriter csv(dest, utf8);
        for_each_store_sheet(collected, o.first_day, o.last_day, listed, work_threads(), o.week_start,
                             [&](StoreSheet& store) {
                                 csv.store(store);
                                 journal_template.add(store);
                                 w.count(store);
                             });
    }
    dest.flush();
    w.ok = opened && static_cast<bool>(dest) && (!file || file->commit());
    return w;
}

// The report only reads its inputs: no output may be one of them or lie among them.
std::optional<std::string> output_among_inputs(const ReportOptions& o) {
    std::vector<std::filesystem::path> inputs = o.inputs;
    inputs.insert(inputs.end(), o.corrections.begin(), o.corrections.end());
    if (o.members) {
        inputs.push_back(*o.members);
    }
    for (const auto& p : {o.output, o.corrections_template}) {
        if (p) {
            if (auto clash = output_clash(*p, inputs)) {
                return clash;
            }
            inputs.push_back(*p); // the two outputs are two files
        }
    }
    return std::nullopt;
}

// Applies the journals to the stamps and tells what was not applied; false when a journal could not be read.
bool apply_journals(const ReportOptions& o, Journal& journal, CollectedStamps& collected, std::ostream& err) {
    const std::size_t applied = apply_corrections(journal, collected, filter_for(o));
    bool all_read = true;
    for (const auto& t : journal.troubles) {
        if (t.line == 0) {
            err << program << t.why << ": " << t.file << "\n";
            all_read = false;
        } else {
            err << program << "修正を適用しませんでした: " << t.file << ":" << t.line << ": " << t.why << "\n";
        }
    }
    if (!o.corrections.empty()) {
        err << "修正: 適用 " << applied << "、適用しなかった行 " << journal.troubles.size() << "\n";
    }
    return all_read;
}

bool write_template(const std::filesystem::path& path, const CorrectionsTemplate& journal_template) {
    ReplacingFile file(path);
    if (!file.open()) {
        return false;
    }
    const std::string bytes = journal_template.bytes();
    file.stream().write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file.commit();
}

const char* line_trouble_text(LineKind kind) {
    switch (kind) {
    case LineKind::OddPlan:
        return "予定の時刻を読めない行 (予定なしとして数えました): ";
    case LineKind::NoName:
        return "氏名のない行 (打刻は数えました): ";
    default:
        return "読めない行を飛ばしました: ";
    }
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
    if (const auto clash = output_among_inputs(o)) {
        err << program << *clash << "\n" << report_usage_text();
        return 2;
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
    LogReading reading = read_logs(inputs.read, filter_for(o), work_threads());
    for (const auto& t : reading.troubles) {
        if (t.line == 0) {
            err << program << "読めません: " << t.file.string() << "\n";
            status = 1;
        } else {
            err << program << line_trouble_text(t.kind) << t.file.string() << ":" << t.line << "\n";
        }
    }
    StampCollector& collector = reading.collector;
    Journal journal = read_journals(o.corrections);
    if (!apply_journals(o, journal, collector.collected(), err)) {
        status = 1;
    }
    CorrectionsTemplate journal_template;
    const Written written = write_report(o, collector.collected(), listed, inputs.read.size(), out, journal_template);
    if (!written.ok) {
        err << program << "書き込めません: " << (o.output ? o.output->string() : std::string("標準出力")) << "\n";
        status = 1;
    }
    if (o.corrections_template && !write_template(*o.corrections_template, journal_template)) {
        err << program << "書き込めません: " << o.corrections_template->string() << "\n";
        status = 1;
    }
    summary(err, Counts{inputs.found, inputs.earlier_copies.size(), collector.lines(), collector.unreadable(),
                        collector.stamps(), written.members, written.anomalies, written.legal});
    return status;
}
