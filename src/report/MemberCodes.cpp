#include "report/MemberCodes.h"

#include "core/CommaFields.h"
#include "core/ErrorNumber.h"
#include "core/TextFile.h"

Result<std::set<std::string>> read_member_codes(const std::filesystem::path& list) {
    // A pipe or a device would hold the report up for ever or without end: only a file is a list.
    std::error_code ec;
    if (std::filesystem::exists(list, ec) && !std::filesystem::is_regular_file(list, ec)) {
        return ErrorNumber::PathFileAccess;
    }
    textfile::LineReader reader;
    if (auto st = reader.open(list); !st) {
        return st.error();
    }
    std::set<std::string> codes;
    std::string line;
    while (reader.next(line)) {
        const auto fields = split_commas(line);
        if (!line.empty() && fields[0] != "99999") {
            codes.emplace(fields[0]);
        }
    }
    return codes;
}
