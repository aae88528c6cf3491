#include "sim/ScriptedReader.h"

#include "core/ErrorNumber.h"

#include <algorithm>

std::int16_t ScriptedReader::get_smart_card_uid(Buffer& buffer) {
    if (missing_) {
        throw RuntimeError(ErrorNumber::FileNotFound);
    }
    std::optional<std::string> idm;
    if (tapped_) {
        idm.swap(tapped_);
    } else if (lying_) {
        idm = lying_;
    }
    if (!idm) {
        return 1;
    }
    const std::size_t n = std::min(idm->size(), buffer_size);
    std::copy_n(idm->begin(), n, buffer.begin());
    return 0;
}
