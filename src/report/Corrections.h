#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// A corrections journal: the office's record of the stamps it adds to the logs and voids in them, with why and
// by whom. The logs are never changed; the report applies the journal to the stamps it read.
//
// A journal is CSV in code page 932, or in UTF-8 when it begins with a byte-order mark (as spreadsheet programs
// save it). Its first line may be the header below; then one line a change, in the order of the header: store,
// cast code, the stamp's date and time as the log writes it ("yyyy/m/d h:mm"), mode (1 shift-in, 2 shift-out),
// 追加 (add the stamp) or 取消 (void a stamp the logs hold), reason, who, and when the line was written. A field
// may be quoted; empty lines are passed over; fields after the eighth are for the reader and ignored.
struct Correction {
    std::string file; // where the line stands, for the messages
    std::size_t line = 0;
    std::string store; // UTF-8
    std::string code;
    std::int64_t minute = 0;
    bool shift_in = true;
    bool add = true; // 追加; false 取消
    std::string reason;
    std::string who;
    std::string written;
};

// A line that is not applied, and why (in Japanese).
struct JournalTrouble {
    std::string file;
    std::size_t line = 0; // 0: the file itself
    std::string why;
};

struct Journal {
    std::vector<Correction> corrections; // the complete lines of every journal, in the order given
    std::vector<JournalTrouble> troubles;
};

// The header line of a journal, in UTF-8; the template adds the column 参考 (ignored when read).
[[nodiscard]] const std::vector<std::string>& journal_header();

// Reads the journals in order. A line without a usable date and time, mode, operation, reason or author is a
// trouble and not applied, as is a file that cannot be read.
[[nodiscard]] Journal read_journals(const std::vector<std::filesystem::path>& files);

// One line of a journal in UTF-8: the correction, or why it cannot be applied.
struct JournalLine {
    Correction correction;
    std::string why; // empty when usable
};
[[nodiscard]] JournalLine parse_journal_line(std::string_view utf8_line);

// The fields of a CSV line; a field may be quoted ("" for a quote inside). False when a quote is not closed.
[[nodiscard]] bool split_csv(std::string_view line, std::vector<std::string>& fields);

// "退勤を追加 2026/11/2 18:00 (打刻忘れ / 山田)": a correction as the reports show it.
[[nodiscard]] std::string correction_text(const Correction& c);
