#pragma once

#include "report/Timesheet.h"

#include <ostream>
#include <string>
#include <vector>

// The timesheet as CSV, store by store as the stores are paired: a header row first, then for each store one
// row per member and business day, a total row per member and one for the store. Lines end with CR LF; the
// text is code page 932 (what spreadsheet programs in Japanese offices open directly) or UTF-8 without a
// byte-order mark.
class CsvSheetWriter {
public:
    CsvSheetWriter(std::ostream& out, bool utf8);
    ~CsvSheetWriter(); // writes what is still held
    CsvSheetWriter(const CsvSheetWriter&) = delete;
    CsvSheetWriter& operator=(const CsvSheetWriter&) = delete;

    void store(const StoreSheet& store);

private:
    friend class CsvRows;
    std::ostream& out_;
    bool utf8_;
    std::string buf_; // rows in the file's encoding, written a block at a time
    std::string member_total_;
    std::string store_total_;
};

// One CSV row with its CR LF; a field holding a comma, a double quote or a line end is quoted.
[[nodiscard]] std::string csv_row(const std::vector<std::string>& fields);
