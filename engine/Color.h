#pragma once

namespace mw {

// The eight colours every character is drawn in.
enum Color {
    COLOR_BLACK = 0,
    COLOR_RED,
    COLOR_GREEN,
    COLOR_YELLOW,
    COLOR_BLUE,
    COLOR_MAGENTA,
    COLOR_CYAN,
    COLOR_WHITE,
};

inline constexpr int COLOR_COUNT = 8;

} // namespace mw
