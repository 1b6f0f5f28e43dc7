#pragma once

#include "engine/FrameDriver.h"
#include "engine/internal/CellRecorder.h"
#include "support/TestAccess.h"
#include "support/TestSupport.h"

#include "engine/ResourceManager.h"
#include "engine/Sound.h"
#include "engine/WorldManager.h"
#include "game/BoxerMove.h"
#include "game/EventBoxerCollision.h"
#include "game/EventGameOver.h"
#include "game/GameOverResult.h"
#include "game/HealthUI.h"
#include "game/Hero.h"
#include "game/MatchLoader.h"
#include "game/RoundSystem.h"
#include "game/SharedCounts.h"
#include "game/TextDisplay.h"
#include "game/Timer.h"

#include <SFML/Audio/SoundBuffer.hpp>

#include <cstdlib>
#include <fstream>
#include <ranges>
#include <sstream>

namespace gametest {

using Lines = std::vector<std::string>;

inline const Lines GAME_SOUNDS = {
    "hero-dodge",      "hero-hit",         "hero-swing",      "opponent-dodge", "opponent-hit",
    "opponent-swing",  "opponent-stunned", "opponent-charge", "opponent-tell",  "tko",
    "successful-dodge"};

template <typename T> std::vector<T*> objectsOf() {
    std::vector<T*> found;
    const mw::ObjectList all = mw::WorldManager::getInstance().getAllObjects();
    for (int i = 0; i < all.getCount(); ++i)
        if (T* object = dynamic_cast<T*>(all[i]))
            found.push_back(object);
    return found;
}

template <typename T> T* firstOf() {
    const std::vector<T*> found = objectsOf<T>();
    return found.empty() ? nullptr : found.front();
}

inline Lines messages() {
    const auto texts = objectsOf<TextDisplay>() | std::views::transform(&TextDisplay::getText);
    return {texts.begin(), texts.end()};
}

inline Lines worldTypes() {
    const auto types = objectsOf<mw::Object>() | std::views::transform(&mw::Object::getType);
    return {types.begin(), types.end()};
}

inline std::string at(int column, const std::string& text) {
    return std::string(column, ' ') + text;
}

inline void sendKey(mw::Key key, mw::KeyboardAction action) {
    mw::GameManager::getInstance().onEvent(mw::EventKeyboard(key, action));
    mw::WorldManager::getInstance().update();
}

// Lands swings until the hero is down, on both sides in turn in case he is dodging.
inline void floorHero(Hero& hero) {
    for (int swing = 0; swing < 20 && !hero.isDown(); ++swing)
        hero.eventHandler(EventBoxerCollision(swing % 2 == 0 ? SWING_LEFT : SWING_RIGHT));
}

// Get-up presses as the input manager sends them, a held key each, alternating
// Q and W from Q; no step passes.
inline void mash(int presses) {
    for (int press = 0; press < presses; ++press)
        sendKey(press % 2 == 0 ? mw::KEY_Q : mw::KEY_W, mw::KEY_HELD);
}

// Shared counts at zero, rand() at its first draw, no best times, a one-cell sprite under
// each boxer's label and a long silent sound under each of the game's sound labels.
class GameTest : public mwtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        sharedCounts().reset();
        std::srand(1);
        MatchLoader::getInstance().startUp();
        for (const char* pose : {"idle", "s-left", "s-right", "d-left", "d-right", "down"})
            loadSprite("hero-" + std::string(pose), {"X"});
        for (const char* prefix : {"opponent-", "opponent2-", "opponent3-"})
            for (const char* pose :
                 {"idle", "charge-right", "charge-left", "swing-right", "swing-left", "dodge-right",
                  "dodge-left", "tell", "stunned", "down"})
                loadSprite(prefix + std::string(pose), {"X"});
        if (!withSounds())
            return;
        const std::vector<std::int16_t> silence(80000, 0);
        sf::SoundBuffer buffer;
        ASSERT_TRUE(buffer.loadFromSamples(silence.data(), silence.size(), 1, 8000,
                                           {sf::SoundChannel::Mono}));
        ASSERT_TRUE(buffer.saveToFile("silence.wav"));
        for (const std::string& label : GAME_SOUNDS)
            ASSERT_EQ(mw::ResourceManager::getInstance().loadSound("silence.wav", label), 0);
    }

    // Loading sounds starts the audio device and its threads.
    virtual bool withSounds() const { return true; }

    void TearDown() override {
        MatchLoader::getInstance().shutDown();
        EngineTest::TearDown();
    }

    void loadSprite(const std::string& label, const Lines& rows,
                    const std::string& color = "white") const {
        std::string text = "1\n" + std::to_string(rows[0].size()) + "\n" +
                           std::to_string(rows.size()) + "\n1\n" + color + "\n";
        for (const std::string& row : rows)
            text += row + "\n";
        writeFile(label + ".txt", text);
        ASSERT_EQ(mw::ResourceManager::getInstance().loadSprite(label + ".txt", label), 0);
    }

    // The sounds started since the last call, a looping one marked " (looping)"; stops them.
    static Lines heard() {
        Lines playing;
        for (const std::string& label : GAME_SOUNDS) {
            sf::Sound* voice = mw::ResourceManager::getInstance().getSound(label)->getVoice();
            if (voice->getStatus() == sf::SoundSource::Status::Playing)
                playing.push_back(label + (voice->isLooping() ? " (looping)" : ""));
            voice->stop();
        }
        return playing;
    }

    // A row of the last frame shown: its characters, or its colours as letters
    // of "krgybmcw" ('.' undrawn); nothing blank at its end.
    static std::string shownRow(int row, bool colours = false) {
        std::string text;
        for (int column = 0; column < 80; ++column) {
            const mw::Cell cell = mw::DisplayManager::getInstance().shownCell(column, row);
            text += !cell.drawn ? (colours ? '.' : ' ')
                    : colours   ? "krgybmcw"[cell.color]
                                : cell.ch;
        }
        return text.substr(0, text.find_last_not_of(colours ? '.' : ' ') + 1);
    }

    void useHighScoreFile(const std::string& content) const {
        std::filesystem::remove(m_scratch.path() / "hsdata.txt");
        if (content != "(none)")
            writeFile("hsdata.txt", content);
        MatchLoader::getInstance().startUp();
    }

    // The file as it is on disk; "(none)" when there is no such file.
    static std::string highScoreFile(const std::filesystem::path& file = "hsdata.txt") {
        if (!std::filesystem::exists(file))
            return "(none)";
        std::ostringstream content;
        content << std::ifstream(file, std::ios::binary).rdbuf();
        return content.str();
    }

    void startFight(int opponent) {
        MatchLoader::getInstance().startMatch(opponent);
        mw::WorldManager::getInstance().update();
        m_hero = firstOf<Hero>();
        m_opponent = firstOf<FightingOpponent>();
        m_rounds = firstOf<RoundSystem>();
        ASSERT_TRUE(m_hero != nullptr && m_opponent != nullptr && m_rounds != nullptr);
    }
    static Timer& clock() { return *firstOf<Timer>(); }

    mw::FrameDriver m_driver;
    Hero* m_hero = nullptr;
    FightingOpponent* m_opponent = nullptr;
    RoundSystem* m_rounds = nullptr;
};

class FightTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        startFight(1);
    }
};

} // namespace gametest
