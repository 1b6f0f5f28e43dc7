#include "game/BoxerCondition.h"

namespace {

bool reached(int count, int limit) {
    return limit > 0 && count >= limit;
}

} // namespace

bool BoxerCondition::knockDown() {
    if (m_rules.lateKnockdownLoses && reached(m_roundKnockdowns, m_rules.tkoKnockdown))
        return false;
    if (m_rules.basePresses > 0)
        m_pressesNeeded = m_rules.pressesPerKnockdown * m_roundKnockdowns + m_rules.basePresses;
    ++m_roundKnockdowns;
    ++m_matchKnockdowns;
    m_down = true;
    clearCount();
    return true;
}

BoxerCondition::Outcome BoxerCondition::stepDown() {
    if (reached(m_roundKnockdowns, m_rules.tkoKnockdown))
        return LOSES_BY_TKO;
    if (m_rules.basePresses > 0 && m_mashCount >= m_pressesNeeded)
        return GETS_UP;
    if (++m_downTime < m_rules.stepsDown)
        return STAYS_DOWN;
    if (!m_rules.upAtCountEnd)
        return LOSES_BY_TKO;
    return reached(m_matchKnockdowns, m_rules.finalKnockdown) ? LOSES_BY_KO : GETS_UP;
}

bool BoxerCondition::countMashPress(int key) {
    if (key == m_lastMashKey)
        return false;
    ++m_mashCount;
    m_lastMashKey = key;
    return true;
}

void BoxerCondition::getUp() {
    m_down = false;
    clearCount();
}

void BoxerCondition::startRound() {
    m_down = false;
    m_roundKnockdowns = 0;
    clearCount();
}

void BoxerCondition::clearCount() {
    m_downTime = 0;
    m_mashCount = 0;
    m_lastMashKey = -1;
}
