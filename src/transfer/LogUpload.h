#pragma once

#include "core/DateTime.h"

#include <string>
#include <string_view>

class Recorder;

// At the exit button: a time-stamped copy of the log into the outbox and, when connected, the upload of
// the outbox. Copies the server did not take stay for the next exit.
void Pre_Tensou_STD(Recorder& rec);

// "K" + the last two characters of the store code + "_yymmdd_hhnn.CSV": K04_160714_2305.CSV.
[[nodiscard]] std::string upload_copy_name(std::string_view store_code, const DateTime& now);
