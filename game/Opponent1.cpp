#include "game/Opponent1.h"

#include "game/OpponentCard.h"
#include "game/SharedCounts.h"

namespace {

constexpr FightingOpponent::Tuning TUNING = {
    .chargeFrames = 30,
    .attackChance = 60,
    .tellChance = 40,
    .idleFrames = 150,
    .dodgeFrames = 6,
    .attackFrames = 150,
    .recoveryFrames = 15,
    .tellFrames = 120,
    .stunFrames = 65,
};

constexpr FightingOpponent::Sprites SPRITES = {
    .idle = "opponent-idle",
    .chargeRight = "opponent-charge-right",
    .chargeLeft = "opponent-charge-left",
    .swingRight = "opponent-swing-right",
    .swingLeft = "opponent-swing-left",
    .dodgeRight = "opponent-dodge-right",
    .dodgeLeft = "opponent-dodge-left",
    .tell = "opponent-tell",
    .stunned = "opponent-stunned",
    .down = "opponent-down",
};

} // namespace

Opponent1::Opponent1()
    : FightingOpponent(TUNING, SPRITES, sharedCounts().opponent1AttackSteps, OpponentCard::of(1),
                       KNOCKDOWN_RULES) {}
