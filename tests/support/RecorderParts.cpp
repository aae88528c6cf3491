#include "support/RecorderParts.h"

#include "core/Cp932.h"

#include <fstream>

void use_store(Recorder& r, const std::string& store_code) {
    std::ofstream(r.paths().settings_file(), std::ios::binary | std::ios::trunc)
        << cp932::from_utf8("店舗CD = " + store_code) << "\r\n";
    RecorderParts::lists(r).load_settings();
}
