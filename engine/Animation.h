#pragma once

#include "engine/Box.h"
#include "engine/Vector.h"

namespace mw {

class Sprite;

/// Which sprite an object shows, the frame drawn next, and when to move on.
/// Every Object holds one; the animation moves on only when it is drawn.
class Animation {
public:
    /// Shows the sprite (not owned; nullptr shows nothing) from frame 0, with
    /// the count at the sprite's slowdown, so the first draw already moves on;
    /// a slowdown of -1 holds the animation still on frame 0.
    void setSprite(Sprite* sprite);
    /// The sprite shown, or nullptr.
    Sprite* getSprite() const { return m_sprite; }
    /// The frame drawn next.
    int getIndex() const { return m_index; }
    /// Draws since the frame last changed; -1 when the animation stands still.
    int getSlowdownCount() const { return m_slowdownCount; }
    /// Makes the next draw show this frame, as the first of its slowdown's
    /// draws; nothing changes without a sprite, for an index outside its
    /// frames, or while the animation stands still.
    void setIndex(int index);

    /// Draws the current frame centred on the position and moves on by the
    /// sprite's slowdown, back to frame 0 after the last. Returns -1 (drawing
    /// nothing) without a sprite, 0 otherwise; logs nothing.
    int draw(Vector position);

    /// The sprite's extent centred on the origin: corner (-width / 2,
    /// -height / 2) and the sprite's width and height; without a sprite, a box
    /// just under one cell (corner (-0.5, -0.5), extents 0.99).
    Box getBox() const;

private:
    Sprite* m_sprite = nullptr;
    int m_index = 0;
    int m_slowdownCount = 0;
};

} // namespace mw
