#include "app/recorder/ErrorMessages.h"

namespace error_messages {

std::string unexpected(const char* routine) {
    return std::string("想定外のエラーがでました。") + routine;
}

std::string unexpected_in_settings(int number) {
    return "想定外エラー get_actionmap err = " + std::to_string(number);
}

std::string unexpected_in_card_poll(int number) {
    return "get_card_idm 想定外エラー =" + std::to_string(number);
}

} // namespace error_messages
