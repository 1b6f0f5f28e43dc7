#include "game/TitleScreen.h"

#include "engine/DisplayManager.h"
#include "engine/EventStep.h"
#include "engine/GameManager.h"
#include "engine/ResourceManager.h"
#include "engine/Sprite.h"
#include "engine/WorldManager.h"
#include "game/BestTimes.h"
#include "game/MatchLoader.h"
#include "game/OpponentCard.h"

#include <string>

namespace {

// Offset of each opponent's card from the middle column of the screen.
constexpr std::array<int, BestTimes::OPPONENT_COUNT> CARD_OFFSETS = {-25, 0, 25};

constexpr int TITLE_ROW = 6;
// Names sit above the opponents' frames, best times below.
constexpr int NAME_ROWS_ABOVE = 4;
constexpr int TIME_ROWS_BELOW = 3;

mw::Vector cell(int column, int row) {
    return mw::Vector(static_cast<float>(column), static_cast<float>(row));
}

} // namespace

TitleScreen::TitleScreen() {
    const mw::ResourceManager& resources = mw::ResourceManager::getInstance();
    m_titleSprite = resources.getSprite("game-title");
    for (int i = 0; i < BestTimes::OPPONENT_COUNT; ++i)
        m_opponentFrames[i] = resources.getSprite("frame-opponent" + std::to_string(i + 1));
    setType("TitleScreen");
    setSolidness(mw::INTANGIBLE);
    // Another copy of the game may have won since the last title was shown.
    BestTimes::getInstance().readTimesAgain();
}

void TitleScreen::show() {
    // Everything goes, whoever calls; the new title stays.
    MatchLoader::getInstance().clearWorld();
    new TitleScreen;
}

int TitleScreen::eventHandler(const mw::Event& event) {
    if (event.getType() == mw::STEP_EVENT) {
        // Best times that could not be written yet are tried again; the
        // step is not what the title screen handles, so it answers 0.
        BestTimes::getInstance().saveTimes();
        return 0;
    }
    if (event.getType() != mw::KEYBOARD_EVENT)
        return 0;
    handleKey(static_cast<const mw::EventKeyboard&>(event));
    return 1;
}

void TitleScreen::handleKey(const mw::EventKeyboard& event) {
    // The choices act on pressed, held and released alike; only quitting
    // waits for the key to go down.
    switch (event.getKey()) {
    case mw::KEY_1:
        MatchLoader::getInstance().startMatch(1);
        break;
    case mw::KEY_2:
        MatchLoader::getInstance().startMatch(2);
        break;
    case mw::KEY_3:
        MatchLoader::getInstance().startMatch(3);
        break;
    case mw::KEY_T:
        startTutorial();
        break;
    case mw::KEY_ESCAPE:
        if (event.getKeyboardAction() == mw::KEY_PRESSED)
            mw::GameManager::getInstance().setGameOver(true);
        break;
    default:
        break;
    }
}

void TitleScreen::startTutorial() {
    MatchLoader::getInstance().startTutorial();
    mw::WorldManager::getInstance().markForDelete(this);
}

int TitleScreen::draw() {
    mw::DisplayManager& display = mw::DisplayManager::getInstance();
    const int middle = display.getHorizontal() / 2;
    const int vertical = display.getVertical();
    display.drawString(cell(middle, vertical - 3), "Pick Fight (1, 2, 3) or Tutorial (T)",
                       mw::JUSTIFY_CENTER, mw::COLOR_WHITE);
    display.drawString(cell(middle, vertical - 2), "(Esc) to quit game.", mw::JUSTIFY_CENTER,
                       mw::COLOR_WHITE);
    const int frameRow = vertical / 2 + 4;
    const BestTimes& bestTimes = BestTimes::getInstance();
    for (int i = 0; i < BestTimes::OPPONENT_COUNT; ++i) {
        const int column = middle + CARD_OFFSETS[i];
        const OpponentCard& card = OpponentCard::of(i + 1);
        if (m_opponentFrames[i] != nullptr)
            m_opponentFrames[i]->draw(0, cell(column, frameRow));
        display.drawString(cell(column, frameRow - NAME_ROWS_ABOVE), card.name, mw::JUSTIFY_CENTER,
                           card.color);
        display.drawString(cell(column, frameRow + TIME_ROWS_BELOW),
                           "HS: " + bestTimes.getHighScore(i + 1), mw::JUSTIFY_CENTER,
                           mw::COLOR_WHITE);
    }
    if (m_titleSprite != nullptr)
        m_titleSprite->draw(0, cell(middle, TITLE_ROW));
    return 1;
}
