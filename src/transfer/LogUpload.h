#pragma once

#include "core/DateTime.h"
#include "core/Result.h"

#include <filesystem>
#include <string>
#include <string_view>

struct FtpJob;

// What the exit button sends: the store's log, copied under the name of the moment into the outbox.
struct LogUploadJob {
    std::filesystem::path log;
    std::filesystem::path outbox;
    std::string store_code;
    DateTime now;
};

// (Formerly Pre_Tensou_STD.) A time-stamped copy of the log into the outbox and, when a server is given,
// the upload of the outbox. Copies the server did not take stay for the next exit. The first failure's
// number; nothing is reported to the person.
[[nodiscard]] Status upload_logs(const LogUploadJob& job, const FtpJob* server);

// "K" + the last two characters of the store code + "_yymmdd_hhnn.CSV": K04_160714_2305.CSV.
[[nodiscard]] std::string upload_copy_name(std::string_view store_code, const DateTime& now);
