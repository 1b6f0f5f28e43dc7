#pragma once

#include "engine/Box.h"
#include "engine/Vector.h"

namespace mw {

class Sprite;

// Which sprite an object shows, the frame drawn next, and when to move on.
class Animation {
public:
    // Starts at frame 0 with the count at the sprite's slowdown, so the first
    // draw already moves on; a slowdown of -1 holds the animation still.
    void setSprite(Sprite* sprite);
    Sprite* getSprite() const { return m_sprite; }
    int getIndex() const { return m_index; }
    int getSlowdownCount() const { return m_slowdownCount; }

    // Draws the current frame and moves on: -1 without a sprite, 0 otherwise.
    int draw(Vector position);

    // The sprite's extent centred on the origin; just under one cell without a sprite.
    Box getBox() const;

private:
    Sprite* m_sprite = nullptr;
    int m_index = 0;
    int m_slowdownCount = 0;
};

} // namespace mw
