#include "game/Opponent2.h"

#include "game/OpponentCard.h"
#include "game/SharedCounts.h"

namespace {

constexpr FightingOpponent::Tuning TUNING = {
    .chargeFrames = 30,
    .attackChance = 50,
    .tellChance = 40,
    .idleFrames = 150,
    .dodgeFrames = 6,
    .attackFrames = 150,
    .recoveryFrames = 10,
    .tellFrames = 90,
    .stunFrames = 50,
};

constexpr FightingOpponent::Sprites SPRITES = {
    .idle = "opponent2-idle",
    .chargeRight = "opponent2-charge-right",
    .chargeLeft = "opponent2-charge-left",
    .swingRight = "opponent2-swing-right",
    .swingLeft = "opponent2-swing-left",
    .dodgeRight = "opponent2-dodge-right",
    .dodgeLeft = "opponent2-dodge-left",
    .tell = "opponent2-tell",
    .stunned = "opponent2-stunned",
    .down = "opponent2-down",
};

} // namespace

Opponent2::Opponent2()
    : FightingOpponent(TUNING, SPRITES, sharedCounts().opponent2AttackSteps, OpponentCard::of(2),
                       KNOCKDOWN_RULES) {}
