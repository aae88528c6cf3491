#include "board/NameFont.h"

#include "core/Cp932.h"

double NameFont::pt_for(std::string_view utf8_name) const {
    return utf8_length(utf8_name) > fits ? small_pt : normal_pt;
}
