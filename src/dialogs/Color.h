#pragma once

#include <cstdint>
#include <string>

// A colour as the window model holds it: an RGB triple, or one of the system colours whose real value
// the platform decides (the clock's text colour switches to "ButtonText").
class Color {
public:
    enum class System : std::uint8_t { None, ButtonText, WindowText };

    constexpr Color() = default;
    static constexpr Color rgb(int r, int g, int b) { return Color(r, g, b, System::None); }
    static constexpr Color system(System s) { return Color(0, 0, 0, s); }

    [[nodiscard]] constexpr int red() const { return r_; }
    [[nodiscard]] constexpr int green() const { return g_; }
    [[nodiscard]] constexpr int blue() const { return b_; }
    [[nodiscard]] constexpr System system_colour() const { return system_; }
    [[nodiscard]] constexpr bool is_system() const { return system_ != System::None; }

    // "#RRGGBB" in upper case, or the system colour's name ("ButtonText").
    [[nodiscard]] std::string name() const;

    friend constexpr bool operator==(const Color&, const Color&) = default;

private:
    constexpr Color(int r, int g, int b, System s)
        : r_(static_cast<std::uint8_t>(r)), g_(static_cast<std::uint8_t>(g)), b_(static_cast<std::uint8_t>(b)),
          system_(s) {}

    std::uint8_t r_ = 0;
    std::uint8_t g_ = 0;
    std::uint8_t b_ = 0;
    System system_ = System::WindowText;
};

namespace colors {
inline constexpr Color neutral = Color::rgb(255, 224, 192); // the window's background, a neutral board cell
inline constexpr Color on_shift = Color::rgb(0, 255, 255);  // also the highlighted mode button
inline constexpr Color shifted_out = Color::rgb(192, 192, 192);
inline constexpr Color first_seen_out = Color::rgb(255, 192, 255);
inline constexpr Color idle_button = Color::rgb(128, 128, 128);
inline constexpr Color yellow = Color::rgb(255, 255, 0);
inline constexpr Color salmon = Color::rgb(255, 128, 128); // long stays, the USB and exit buttons, UF_2
inline constexpr Color red = Color::rgb(255, 0, 0);
inline constexpr Color blue = Color::rgb(0, 0, 255);
inline constexpr Color teal = Color::rgb(0, 128, 128);
inline constexpr Color white = Color::rgb(255, 255, 255);
inline constexpr Color dark_grey = Color::rgb(64, 64, 64);
inline constexpr Color button_text = Color::system(Color::System::ButtonText);
inline constexpr Color window_text = Color::system(Color::System::WindowText);
} // namespace colors
