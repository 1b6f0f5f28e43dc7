#pragma once

// A scripted player that fights from what the screen shows.

#include "game/BoxerMove.h"
#include "game/Hero.h"
#include "game/Opponent.h"
#include "support/FrameDriver.h"
#include "support/WorldQueries.h"

#include <string>

namespace gametest {

inline const std::string PROMPT = "Press any key to continue.";

// Plays a fight at the keyboard from what the screen shows: the opponent's
// move and state stand for its pictures, the messages for the prompts.
class Player {
public:
    enum Style {
        // Only presses a key to go on after a prompt.
        STANDS_STILL,
        // Dodges every wind-up and never punches.
        DODGES,
        // Dodges, counters a swing on its side, punches the tell and keeps
        // punching while the opponent is stunned.
        FIGHTS,
        // Fights until the opponent has been down once, then only dodges.
        FIGHTS_THEN_DODGES,
    };

    explicit Player(Style style) : m_style(style) {}

    // Chooses the keys of the next frame.
    void play(mw::FrameDriver& keys) {
        ++m_frame;
        if (showsMessage(PROMPT)) {
            keys.tap(mw::KEY_SPACE);
            return;
        }
        const Hero* hero = firstOf<Hero>();
        const Opponent* opponent = firstOf<Opponent>();
        if (hero == nullptr || opponent == nullptr)
            return;
        if (hero->isDown()) {
            mash(keys);
            return;
        }
        letGoOfMashing(keys);
        const int move = opponent->getMove();
        const int state = opponent->getState();
        const bool windingUp = state == ATTACKING && (move == CHARGE_LEFT || move == CHARGE_RIGHT);
        if (windingUp && move != m_windUpSeen)
            m_windUpStart = m_frame;
        m_windUpSeen = windingUp ? move : IDLE;
        if (hero->getMove() != IDLE || opponent->isDown())
            return;

        // A fresh wind-up swings 31 frames after it is first seen and a dodge
        // lasts 10: dodging from the second frame on chains three dodges, the
        // last of them still going when the swing comes.
        if (windingUp && m_style != STANDS_STILL) {
            if (m_frame - m_windUpStart >= 1)
                keys.tap(move == CHARGE_LEFT ? mw::KEY_Q : mw::KEY_W);
            return;
        }
        if (!punches(*opponent))
            return;
        if (state == ATTACKING && move == SWING_LEFT)
            keys.tap(mw::KEY_O);
        else if (state == ATTACKING && move == SWING_RIGHT)
            keys.tap(mw::KEY_P);
        else if (state == TELL || state == STUNNED)
            keys.tap(mw::KEY_P);
    }

    int stunsSeen() const { return m_stuns; }

    // Counts the stuns the player caused; called after every frame.
    void watch() {
        const Opponent* opponent = firstOf<Opponent>();
        const bool stunned = opponent != nullptr && opponent->getState() == STUNNED;
        if (stunned && !m_wasStunned)
            ++m_stuns;
        m_wasStunned = stunned;
    }

private:
    bool punches(const Opponent& opponent) const {
        if (m_style == FIGHTS)
            return true;
        return m_style == FIGHTS_THEN_DODGES && opponent.getMatchKnockdowns() == 0;
    }

    // Alternating keys, each held for one frame: every held event counts.
    void mash(mw::FrameDriver& keys) {
        const bool leftHeld = keys.isHeld(mw::KEY_Q);
        letGoOfMashing(keys);
        keys.press(leftHeld ? mw::KEY_W : mw::KEY_Q);
    }

    static void letGoOfMashing(mw::FrameDriver& keys) {
        for (const mw::Key key : {mw::KEY_Q, mw::KEY_W}) {
            if (keys.isHeld(key))
                keys.release(key);
        }
    }

    Style m_style;
    int m_frame = 0;
    int m_windUpStart = 0;
    int m_windUpSeen = IDLE;
    int m_stuns = 0;
    bool m_wasStunned = false;
};

} // namespace gametest
