#include "game/OpponentCard.h"

#include <array>

namespace {

constexpr std::array<OpponentCard, 3> CARDS = {{
    {"'Zaz Eruz Arizi'", mw::COLOR_MAGENTA},
    {"'Zez Evov Adero'", mw::COLOR_YELLOW},
    {"'Vez Idaze Zeradi'", mw::COLOR_RED},
}};

} // namespace

const OpponentCard& OpponentCard::of(int number) {
    const bool known = number >= 1 && number <= static_cast<int>(CARDS.size());
    return CARDS[known ? number - 1 : 0];
}
