#pragma once

#include "engine/Color.h"
#include "engine/Object.h"

#include <string>

// A boxer's health bar, "HP: [" then a bar of cells and "]", with the name of
// its owner on the row above. It also holds the boxer's health, which the
// boxers read and write by their own rules.
class HealthUI : public mw::Object {
public:
    explicit HealthUI(mw::Vector position);

    int draw() override;

    int getHealth() const { return m_health; }
    // Clamped to lowest health .. maxHealth.
    void setHealth(int health);
    // The least health the bar keeps, so that no hit takes the boxer down:
    // 0, the default, lets him go down.
    void setLowestHealth(int health);
    int getMaxHealth() const { return m_maxHealth; }
    int getBarWidth() const { return m_barWidth; }
    const std::string& getLabel() const { return m_label; }
    // Whose bar it is, drawn above the bar's first cell in the given colour and
    // cut to the bar's length; nothing is drawn for an empty name.
    void setOwner(const std::string& name, mw::Color color);

private:
    int m_maxHealth = 100;
    int m_health = 100;
    int m_lowestHealth = 0;
    int m_barWidth = 24;
    std::string m_label;
    std::string m_owner;
    mw::Color m_ownerColor = mw::COLOR_WHITE;
};
