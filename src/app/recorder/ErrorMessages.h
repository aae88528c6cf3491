#pragma once

#include "core/ErrorNumber.h"

#include <string>

// The texts of the recorder's messages about failures it did not expect, each naming the routine (by its
// name on the shop's screens) and, where the shop's screens showed it, the error number.
namespace error_messages {

// "想定外のエラーがでました。" + the routine: the USB commands.
[[nodiscard]] std::string unexpected(const char* routine);
// "想定外エラー get_actionmap err = N": the settings file.
[[nodiscard]] std::string unexpected_in_settings(int number);
// "get_card_idm 想定外エラー =N": the card poll.
[[nodiscard]] std::string unexpected_in_card_poll(int number);

// The run-time system's number for a failure that carries none of its own (an internal error).
inline constexpr int internal_error = 51;

} // namespace error_messages
