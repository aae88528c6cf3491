#include "stamping/KeyboardReader.h"

#include <algorithm>

namespace {
char hex_digit_upper(char32_t ch) {
    if (ch >= U'0' && ch <= U'9') {
        return static_cast<char>(ch);
    }
    if (ch >= U'a' && ch <= U'f') {
        return static_cast<char>(ch - U'a' + U'A');
    }
    if (ch >= U'A' && ch <= U'F') {
        return static_cast<char>(ch);
    }
    return 0;
}
} // namespace

void KeyboardReader::key(char32_t ch, Millis at) {
    const bool slow = last_key_.count() >= 0 && at - last_key_ > max_gap_;
    last_key_ = at;
    if (slow) {
        typed_.clear(); // what came before the pause was typed by a person, not by the reader
        broken_ = false;
    }
    if (ch == U'\r' || ch == U'\n') {
        finish();
        return;
    }
    const char digit = hex_digit_upper(ch);
    if (digit == 0 || typed_.size() >= max_digits) {
        broken_ = true;
        return;
    }
    typed_ += digit;
}

void KeyboardReader::finish() {
    if (!broken_ && typed_.size() >= min_digits) {
        if (read_.size() >= max_pending) {
            read_.pop_front();
        }
        read_.push_back(typed_);
    }
    typed_.clear();
    broken_ = false;
}

std::int16_t KeyboardReader::get_smart_card_uid(Buffer& buffer) {
    if (read_.empty()) {
        return 1;
    }
    const std::string idm = read_.front();
    read_.pop_front();
    std::copy_n(idm.begin(), std::min(idm.size(), buffer_size), buffer.begin());
    return 0;
}
