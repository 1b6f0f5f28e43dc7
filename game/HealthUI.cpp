#include "game/HealthUI.h"

#include "engine/DisplayManager.h"

#include <algorithm>
#include <cstdint>

HealthUI::HealthUI(mw::Vector position) {
    setType("OpponentHealthUI");
    setSolidness(mw::INTANGIBLE);
    setAltitude(3);
    setPosition(position);
    m_maxHealth = std::max(m_maxHealth, 1);
    m_health = std::min(m_health, m_maxHealth);
    m_barWidth = std::max(m_barWidth, 4);
    m_label = "HP: [" + std::string(m_barWidth, '.') + "]";
}

void HealthUI::setHealth(int health) {
    m_health = std::clamp(health, m_lowestHealth, m_maxHealth);
}

void HealthUI::setLowestHealth(int health) {
    m_lowestHealth = std::clamp(health, 0, m_maxHealth);
    setHealth(m_health);
}

void HealthUI::setOwner(const std::string& name, mw::Color color) {
    m_owner = name.substr(0, m_label.size());
    m_ownerColor = color;
}

int HealthUI::draw() {
    mw::DisplayManager& display = mw::DisplayManager::getInstance();
    const mw::Vector position = getPosition();
    if (!m_owner.empty())
        display.drawString(mw::Vector(position.getX(), position.getY() - 1), m_owner,
                           mw::JUSTIFY_LEFT, m_ownerColor);
    display.drawString(position, m_label, mw::JUSTIFY_LEFT, mw::COLOR_WHITE);

    const std::int64_t filled = static_cast<std::int64_t>(m_health) * m_barWidth / m_maxHealth;
    const int cells = static_cast<int>(std::clamp<std::int64_t>(filled, 0, m_barWidth));
    const float fraction = static_cast<float>(m_health) / static_cast<float>(m_maxHealth);
    mw::Color color = mw::COLOR_GREEN;
    if (fraction <= 0.2f)
        color = mw::COLOR_RED;
    else if (fraction <= 0.5f)
        color = mw::COLOR_YELLOW;
    display.drawString(mw::Vector(position.getX() + 5, position.getY()), std::string(cells, '#'),
                       mw::JUSTIFY_LEFT, color);
    return 0;
}
