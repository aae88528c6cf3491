#include "report/CorrectionsTemplate.h"

#include "core/Cp932.h"
#include "report/Corrections.h"
#include "report/CsvWriter.h"
#include "report/ReportTime.h"

void CorrectionsTemplate::add(const StoreSheet& store) {
    for (const auto& m : store.members) {
        for (const auto& d : m.days) {
            for (const DayNote& n : d.notes) {
                const bool no_out = n.kind == DayNote::Kind::NoShiftOut;
                // The date of the stamp that is there; the missing one is mostly on the same date.
                const std::string date = report::date_text(report::floor_div(n.minute, report::minutes_per_day));
                rows_.push_back(
                    {store.store, m.code, date, no_out ? "2" : "1", "追加", "", "", "", m.name + " " + note_text(n)});
            }
        }
    }
}

std::string CorrectionsTemplate::bytes() const {
    std::vector<std::string> header = journal_header();
    header.emplace_back("参考");
    std::string text = csv_row(header);
    for (const auto& r : rows_) {
        text += csv_row(r);
    }
    return cp932::from_utf8(text);
}
