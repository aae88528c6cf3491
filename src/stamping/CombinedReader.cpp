#include "stamping/CombinedReader.h"

#include "core/ErrorNumber.h"

std::int16_t CombinedReader::get_smart_card_uid(Buffer& buffer) {
    if (always_.get_smart_card_uid(buffer) == 0) {
        return 0;
    }
    try {
        return joining_.get_smart_card_uid(buffer);
    } catch (const RuntimeError& e) {
        if (e.number() != ErrorNumber::FileNotFound) {
            throw;
        }
        return 1;
    }
}
