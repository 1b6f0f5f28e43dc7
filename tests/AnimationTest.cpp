#include "engine/Animation.h"
#include "engine/Sprite.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

TEST(AnimationTest, FrameSequencesFollowTheSlowdown) {
    const struct {
        int frames, slowdown;
        std::vector<int> shown;
    } cases[] = {
        {3, 2, {0, 1, 1, 2, 2, 0, 0, 1}},  {2, 3, {0, 1, 1, 1, 0, 0, 0, 1}},
        {3, 1, {0, 1, 2, 0, 1, 2, 0, 1}},  {3, 0, {0, 1, 2, 0, 1, 2, 0, 1}},
        {3, -2, {0, 1, 2, 0, 1, 2, 0, 1}}, {3, -1, {0, 0, 0, 0, 0, 0, 0, 0}},
        {1, 4, {0, 0, 0, 0, 0, 0, 0, 0}},  {2, INT_MAX, {0, 1, 1, 1, 1, 1, 1, 1}},
    };
    for (const auto& c : cases) {
        mw::Sprite sprite(c.frames);
        sprite.setWidth(1);
        sprite.setHeight(1);
        sprite.setSlowdown(c.slowdown);
        for (int i = 0; i < c.frames; ++i)
            sprite.pushFrame(mw::Frame(1, 1, std::string(1, static_cast<char>('a' + i))));
        mw::Animation animation;
        animation.setSprite(&sprite);
        std::vector<int> shown;
        for (std::size_t i = 0; i < c.shown.size(); ++i) {
            shown.push_back(animation.getIndex());
            EXPECT_EQ(animation.draw(mw::Vector(5, 5)), 0);
        }
        EXPECT_EQ(shown, c.shown) << "slowdown " << c.slowdown;
    }
}

} // namespace
