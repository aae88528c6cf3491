#pragma once

#include "report/Timesheet.h"

#include <string>
#include <vector>

// A corrections journal for the office to complete: one line per anomaly of a stamp in the sheets (a shift-in
// without its shift-out, a shift-out without its shift-in), with what is known filled in (store, code, the date,
// the mode of the missing stamp, 追加) and the time, the reason and the author left empty, so that no line is
// applied before the office completes it. The column 参考 tells the anomaly and is ignored when read.
class CorrectionsTemplate {
public:
    void add(const StoreSheet& store);
    // The journal in code page 932 with CR LF, its header first.
    [[nodiscard]] std::string bytes() const;
    [[nodiscard]] std::size_t lines() const { return rows_.size(); }

private:
    std::vector<std::vector<std::string>> rows_;
};
