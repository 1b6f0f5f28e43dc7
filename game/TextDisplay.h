#pragma once

#include "engine/Object.h"

#include <string>

// One line of white text centred on its position: every message of a fight
// and of the tutorial.
class TextDisplay : public mw::Object {
public:
    TextDisplay(const std::string& text, mw::Vector position);

    int draw() override;
    const std::string& getText() const { return m_text; }

private:
    std::string m_text;
};

// Marks every TextDisplay of the world for deletion.
void removeTextDisplays();
