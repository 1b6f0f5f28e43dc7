#pragma once

#include "engine/Object.h"

#include <string>

inline const std::string TEXT_DISPLAY_TYPE = "TextDisplay";

// One line of white text centred on its position: every message of a fight
// and of the tutorial.
class TextDisplay : public mw::Object {
public:
    TextDisplay(const std::string& text, mw::Vector position);

    // Where the prompts at the foot of the screen are centred.
    static mw::Vector promptPosition();

    int draw() override;
    const std::string& getText() const { return m_text; }

private:
    std::string m_text;
};

// Marks every TextDisplay of the world for deletion.
void removeTextDisplays();
