#pragma once

#include <cstddef>
#include <string_view>

// A name is shown in a smaller font once it has more characters than its label holds at the normal size.
struct NameFont {
    std::size_t fits; // characters shown at the normal size
    double normal_pt;
    double small_pt;

    [[nodiscard]] double pt_for(std::string_view utf8_name) const;
};

namespace name_fonts {
inline constexpr NameFont board{6, 20, 18};     // a name on the board, as a stamp or the shift plan writes it
inline constexpr NameFont read_name{6, 36, 28}; // lbl_Read_Name, the member of the last card read
inline constexpr NameFont store{7, 36, 28};     // lbl_tenmei, the store's name
} // namespace name_fonts
