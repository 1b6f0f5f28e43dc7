#pragma once

// A scripted player that fights from what the screen shows: the opponent's
// move and state stand for its pictures, the messages for the prompts.

#include "game/BoxerMove.h"
#include "game/Hero.h"
#include "game/Opponent.h"
#include "support/FrameDriver.h"
#include "support/WorldQueries.h"

namespace gametest {

class Player {
public:
    enum Style {
        STANDS_STILL,       // only presses a key to go on after a prompt
        DODGES,             // dodges every wind-up and never punches
        FIGHTS,             // dodges, counters a swing on its side, punches the tell and the stun
        FIGHTS_THEN_DODGES, // fights until the opponent has been down once, then only dodges
    };
    explicit Player(Style style) : m_style(style) {}

    // Chooses the keys of the next frame.
    void play(mw::FrameDriver& keys) {
        ++m_frame;
        const Hero* hero = firstOf<Hero>();
        const Opponent* opponent = firstOf<Opponent>();
        if (showsMessage("Press any key to continue."))
            keys.tap(mw::KEY_SPACE);
        if (showsMessage("Press any key to continue.") || hero == nullptr || opponent == nullptr)
            return;
        // Mashing: alternating keys, each held for one frame.
        const bool leftHeld = keys.isHeld(mw::KEY_Q);
        for (const mw::Key key : {mw::KEY_Q, mw::KEY_W})
            if (keys.isHeld(key))
                keys.release(key);
        if (hero->isDown()) {
            keys.press(leftHeld ? mw::KEY_W : mw::KEY_Q);
            return;
        }
        const int move = opponent->getMove(), state = opponent->getState();
        const bool windingUp = state == ATTACKING && (move == CHARGE_LEFT || move == CHARGE_RIGHT);
        m_windUpStart = windingUp && move != m_windUpSeen ? m_frame : m_windUpStart;
        m_windUpSeen = windingUp ? move : IDLE;
        if (hero->getMove() != IDLE || opponent->isDown())
            return;
        // A wind-up swings 31 frames after it is first seen and a dodge lasts
        // 10: dodging from its second frame on, the third dodge takes the swing.
        if (windingUp && m_style != STANDS_STILL) {
            if (m_frame > m_windUpStart)
                keys.tap(move == CHARGE_LEFT ? mw::KEY_Q : mw::KEY_W);
            return;
        }
        if (m_style == FIGHTS_THEN_DODGES ? opponent->getMatchKnockdowns() > 0 : m_style != FIGHTS)
            return;
        if (state == ATTACKING && move == SWING_LEFT)
            keys.tap(mw::KEY_O);
        else if ((state == ATTACKING && move == SWING_RIGHT) || state == TELL || state == STUNNED)
            keys.tap(mw::KEY_P);
    }

private:
    Style m_style;
    int m_frame = 0, m_windUpStart = 0, m_windUpSeen = IDLE;
};

} // namespace gametest
