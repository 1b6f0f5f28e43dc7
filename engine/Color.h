#pragma once

namespace mw {

/// The eight colours every character is drawn in, as full-intensity RGB
/// (black 0, 0, 0 to white 255, 255, 255). Sprite files name them in lower case.
enum Color {
    COLOR_BLACK = 0, ///< 0, 0, 0
    COLOR_RED,       ///< 255, 0, 0
    COLOR_GREEN,     ///< 0, 255, 0
    COLOR_YELLOW,    ///< 255, 255, 0
    COLOR_BLUE,      ///< 0, 0, 255
    COLOR_MAGENTA,   ///< 255, 0, 255
    COLOR_CYAN,      ///< 0, 255, 255
    COLOR_WHITE,     ///< 255, 255, 255
};

/// How many colours there are.
inline constexpr int COLOR_COUNT = 8;

} // namespace mw
