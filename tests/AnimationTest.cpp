#include "engine/Animation.h"
#include "engine/Object.h"
#include "engine/ResourceManager.h"
#include "engine/Sprite.h"

#include "support/TestSupport.h"

#include <climits>

namespace {

mw::Sprite makeSprite(int frames, int slowdown) {
    mw::Sprite sprite(frames);
    sprite.setWidth(1);
    sprite.setHeight(1);
    sprite.setSlowdown(slowdown);
    for (int i = 0; i < frames; ++i)
        sprite.pushFrame(mw::Frame(1, 1, std::string(1, static_cast<char>('a' + i))));
    return sprite;
}

TEST(AnimationTest, FrameSequencesFollowTheSlowdown) {
    struct Case {
        int frames;
        int slowdown;
        std::vector<int> shown;
    };
    const Case cases[] = {
        {3, 2, {0, 1, 1, 2, 2, 0, 0, 1}},  {2, 3, {0, 1, 1, 1, 0, 0, 0, 1}},
        {3, 1, {0, 1, 2, 0, 1, 2, 0, 1}},  {3, 0, {0, 1, 2, 0, 1, 2, 0, 1}},
        {3, -2, {0, 1, 2, 0, 1, 2, 0, 1}}, {3, -1, {0, 0, 0, 0, 0, 0, 0, 0}},
        {1, 4, {0, 0, 0, 0, 0, 0, 0, 0}},  {2, INT_MAX, {0, 1, 1, 1, 1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("slowdown " + std::to_string(c.slowdown));
        mw::Sprite sprite = makeSprite(c.frames, c.slowdown);
        mw::Animation animation;
        animation.setSprite(&sprite);
        std::vector<int> shown;
        for (std::size_t i = 0; i < c.shown.size(); ++i) {
            shown.push_back(animation.getIndex());
            EXPECT_EQ(animation.draw(mw::Vector(5, 5)), 0);
        }
        EXPECT_EQ(shown, c.shown);
    }
}

TEST(AnimationTest, WithoutASpriteNothingIsDrawnAndTheBoxIsOneCell) {
    mw::Animation animation;
    EXPECT_EQ(animation.draw(mw::Vector(1, 1)), -1);
    EXPECT_EQ(animation.getBox(), mw::Box(mw::Vector(-0.5f, -0.5f), 0.99f, 0.99f));
    mw::Sprite empty(0);
    animation.setSprite(&empty);
    EXPECT_EQ(animation.draw(mw::Vector(1, 1)), 0);
    EXPECT_EQ(animation.getIndex(), 0);
    EXPECT_EQ(empty.draw(0, mw::Vector(1, 1)), -1);
}

class ObjectSpriteTest : public mwtest::EngineTest {};

TEST_F(ObjectSpriteTest, SetSpriteTakesTheSpritesBoxAndAnUnknownLabelChangesNothing) {
    writeFile("five.txt", "2\n5\n3\n2\nred\nxxxxx\nxxxxx\nxxxxx\nyyyyy\nyyyyy\nyyyyy\n");
    mw::ResourceManager::getInstance().loadSprite("five.txt", "five");
    mw::Object object;
    EXPECT_EQ(object.getBox(), mw::Box(mw::Vector(-0.5f, -0.5f), 0.99f, 0.99f));
    EXPECT_EQ(object.draw(), -1);
    ASSERT_EQ(object.setSprite("five"), 0);
    EXPECT_EQ(object.getBox(), mw::Box(mw::Vector(-2.5f, -1.5f), 5, 3));
    object.draw();
    EXPECT_EQ(object.getAnimation().getIndex(), 1);
    EXPECT_EQ(object.setSprite("nothing"), -1);
    EXPECT_EQ(object.getSpriteLabel(), "five");
    EXPECT_EQ(object.getAnimation().getIndex(), 1);
    EXPECT_EQ(object.getBox().getHorizontal(), 5);
}

} // namespace
