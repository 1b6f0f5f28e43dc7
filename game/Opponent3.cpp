#include "game/Opponent3.h"

#include "engine/LogManager.h"
#include "game/GameOverResult.h"
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
    .recoveryFrames = 8,
    .tellFrames = 60,
    .stunFrames = 22,
};

constexpr FightingOpponent::Sprites SPRITES = {
    .idle = "opponent3-idle",
    .chargeRight = "opponent3-charge-right",
    .chargeLeft = "opponent3-charge-left",
    .swingRight = "opponent3-swing-right",
    .swingLeft = "opponent3-swing-left",
    .dodgeRight = "opponent3-dodge-right",
    .dodgeLeft = "opponent3-dodge-left",
    .tell = "opponent3-tell",
    .stunned = "opponent3-stunned",
    .down = "opponent3-down",
};

// No technical knockout: up after every count, until the count after the
// match's sixth knockdown ends the fight by knockout.
constexpr BoxerCondition::Rules KNOCKOUT_RULES = {
    .tkoKnockdown = 0,
    .lateKnockdownLoses = false,
    .stepsDown = FightingOpponent::STEPS_DOWN,
    .upAtCountEnd = true,
    .basePresses = 0,
    .pressesPerKnockdown = 0,
    .finalKnockdown = 6,
};

} // namespace

Opponent3::Opponent3()
    : FightingOpponent(TUNING, SPRITES, sharedCounts().opponent3AttackSteps, OpponentCard::of(3),
                       KNOCKOUT_RULES) {}

void Opponent3::logKnockdown() const {
    mw::LogManager::getInstance().writeLog("Opponent3: KD total=%d round=%d", getMatchKnockdowns(),
                                           getRoundKnockdowns());
}

void Opponent3::loseByKo() {
    concede("PLAYER WINS BY KO (Opponent3)", WON_BY_KO);
}
