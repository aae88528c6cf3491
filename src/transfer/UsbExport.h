#pragma once

#include "core/ErrorNumber.h"
#include "core/Result.h"
#include "transfer/DriveList.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

class Paths;
struct DateTime;

// Errors after which the export goes on with its next step instead of stopping.
[[nodiscard]] bool export_goes_on_after(ErrorNumber n);

// Where copy_log_to_stick stopped: in making or opening the stick's folder, or in the copy itself.
struct StickCopyFailure {
    ErrorNumber number;
    bool in_copy;
};

// (Formerly Chk_server_file.) Copies the log to the drive's Zerbanto folder (created when missing) under the
// name of the moment. The copy is written under a temporary name and renamed when complete, so the final
// name never holds part of a log. No log is no failure.
[[nodiscard]] std::optional<StickCopyFailure> copy_log_to_stick(const std::filesystem::path& log,
                                                                std::string_view store_code, const DateTime& now,
                                                                const Drive& drive);

// "K04_160714_2305.CSV": the last two characters of the store code, the date and the time.
[[nodiscard]] std::string export_copy_name(std::string_view store_code, const DateTime& now);
