#include "dialogs/Color.h"

#include <array>

std::string Color::name() const {
    switch (system_) {
    case System::ButtonText:
        return "ButtonText";
    case System::WindowText:
        return "WindowText";
    case System::None:
        break;
    }
    static constexpr std::array<char, 16> hex{'0', '1', '2', '3', '4', '5', '6', '7',
                                              '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
    std::string out = "#";
    for (int v : {r_, g_, b_}) {
        out += hex[static_cast<std::size_t>(v >> 4)];
        out += hex[static_cast<std::size_t>(v & 15)];
    }
    return out;
}
