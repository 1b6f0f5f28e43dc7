#pragma once

// Shared pieces of the hero and opponent tests: tiny sprites under the game's
// labels, audible test sounds, and a referee that records results and
// freezes the boxers the way the round system does.

#include "support/GameSupport.h"
#include "support/TestAccess.h"

#include "game/BoxerMove.h"
#include "game/EventBoxerCollision.h"
#include "game/EventGameOver.h"
#include "game/HealthUI.h"

#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/Audio/SoundSource.hpp>

#include <cstdint>

namespace fighttest {

// Receives the match result like the round system: records the code and
// freezes both boxers, so a result is announced once.
class Referee : public mw::Object {
public:
    Referee() {
        setType("Referee");
        setSolidness(mw::INTANGIBLE);
    }

    int eventHandler(const mw::Event& event) override {
        if (event.getType() != GAME_OVER_EVENT)
            return 0;
        results.push_back(static_cast<const EventGameOver&>(event).getResultCode());
        if (freezes) {
            if (Hero* hero = gametest::firstOf<Hero>())
                hero->setFrozen(true);
            if (Opponent* opponent = gametest::firstOf<Opponent>())
                opponent->setFrozen(true);
        }
        return 1;
    }

    std::vector<int> results;
    bool freezes = true;
};

class FightTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        loadBoxerSprites();
    }

    // A long silent sound under the label, so that isPlaying() can tell
    // whether the code under test started it.
    void loadSilentSound(const std::string& label) {
        const std::vector<std::int16_t> samples(8000 * 10, 0);
        sf::SoundBuffer buffer;
        ASSERT_TRUE(buffer.loadFromSamples(samples.data(), samples.size(), 1, 8000,
                                           {sf::SoundChannel::Mono}));
        const std::string file = label + ".wav";
        ASSERT_TRUE(buffer.saveToFile(file));
        ASSERT_EQ(mw::ResourceManager::getInstance().loadSound(file, label), 0);
    }

    static bool isPlaying(const std::string& label) {
        const mw::Sound* sound = mw::ResourceManager::getInstance().getSound(label);
        return sound != nullptr && sound->getVoice() != nullptr &&
               sound->getVoice()->getStatus() == sf::SoundSource::Status::Playing;
    }

    static void stopSound(const std::string& label) {
        if (mw::Sound* sound = mw::ResourceManager::getInstance().getSound(label))
            sound->getVoice()->stop();
    }

    // Deletes every object, for a test that needs a fresh fight per case.
    static void clearWorld() {
        mw::WorldManager& world = mw::WorldManager::getInstance();
        world.shutDown();
        world.startUp();
    }

    // A swing handed straight to the hero, as an opponent throws it.
    static void swingAt(Hero& hero, int side) { hero.eventHandler(EventBoxerCollision(side)); }

    // The opponent winds up with its attack counter at `count`: from chargeFrames
    // the swing comes at the next step, from chargeFrames - 1 at the one after.
    static void windUp(FightingOpponent& opponent, int side, int count, int& attackSteps) {
        TestAccess::setState(opponent, ATTACKING);
        TestAccess::setMove(opponent, side == SWING_RIGHT ? CHARGE_RIGHT : CHARGE_LEFT);
        attackSteps = count;
    }

    // Lands swings until the hero goes down (at most a full bar's worth).
    static void floorHero(Hero& hero) {
        for (int swing = 0; swing < 10 && !hero.isDown(); ++swing)
            swingAt(hero, SWING_LEFT);
    }
};

} // namespace fighttest
