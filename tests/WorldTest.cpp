#include "engine/EventCollision.h"
#include "engine/EventOut.h"
#include "engine/EventStep.h"
#include "engine/GameManager.h"
#include "engine/Object.h"
#include "engine/WorldManager.h"

#include "support/TestSupport.h"

using mw::Vector;
using mw::WorldManager;

namespace {

// Records collisions and out-of-world events, and its draws in a shared log.
class Probe : public mw::Object {
public:
    explicit Probe(std::vector<std::string>* drawLog = nullptr, std::string name = "")
        : m_drawLog(drawLog), m_name(std::move(name)) {
        setType("Probe");
    }
    int eventHandler(const mw::Event& event) override {
        if (event.getType() == mw::COLLISION_EVENT) {
            const auto& collision = static_cast<const mw::EventCollision&>(event);
            collisions.push_back(
                {collision.getObject1(), collision.getObject2(), collision.getPosition()});
        } else if (event.getType() == mw::OUT_EVENT) {
            ++outs;
        }
        return 0;
    }
    int draw() override {
        if (m_drawLog)
            m_drawLog->push_back(m_name);
        return 0;
    }
    struct Seen {
        Object* mover;
        Object* other;
        Vector where;
    };
    std::vector<Seen> collisions;
    int outs = 0;

private:
    std::vector<std::string>* m_drawLog;
    std::string m_name;
};

class WorldTest : public mwtest::EngineTest {};

TEST_F(WorldTest, IdsCountUpAndNewObjectsHaveTheDefaults) {
    mw::Object first;
    mw::Object second;
    EXPECT_EQ(second.getId(), first.getId() + 1);
    EXPECT_EQ(first.getPosition(), Vector(0, 0));
    EXPECT_EQ(first.getAltitude(), 2);
    EXPECT_EQ(first.getSolidness(), mw::BLOCKING);
    EXPECT_EQ(WorldManager::getInstance().getAllObjects().getCount(), 2);
}

TEST_F(WorldTest, MovementCollisionsAndSolidness) {
    struct Case {
        const char* name;
        mw::Solidness mover;
        mw::Solidness other;
        float otherX;
        bool moves;
        bool events;
    };
    const Case cases[] = {
        {"nothing near", mw::BLOCKING, mw::BLOCKING, 20, true, false},
        {"blocked", mw::BLOCKING, mw::BLOCKING, 6.5f, false, true},
        {"onto passable", mw::BLOCKING, mw::PASSABLE, 6.5f, true, true},
        {"passable mover", mw::PASSABLE, mw::BLOCKING, 6.5f, true, true},
        {"intangible mover", mw::INTANGIBLE, mw::BLOCKING, 6.5f, true, false},
        {"onto intangible", mw::BLOCKING, mw::INTANGIBLE, 6.5f, true, false},
        // One-cell boxes at 6 and 7 touch at an edge, which counts.
        {"edges touch", mw::BLOCKING, mw::BLOCKING, 7.0f, false, true},
        {"clear gap", mw::BLOCKING, mw::BLOCKING, 7.25f, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const mw::Box oneCell(Vector(-0.5f, -0.5f), 1, 1);
        auto* mover = new Probe;
        mover->setBox(oneCell);
        mover->setSolidness(c.mover);
        mover->setPosition(Vector(5, 5));
        mover->setDirection(Vector(1, 0));
        mover->setSpeed(1);
        auto* other = new Probe;
        other->setBox(oneCell);
        other->setSolidness(c.other);
        other->setPosition(Vector(c.otherX, 5));
        WorldManager::getInstance().update();
        EXPECT_EQ(mover->getPosition(), c.moves ? Vector(6, 5) : Vector(5, 5));
        if (c.events) {
            ASSERT_EQ(mover->collisions.size(), 1u);
            ASSERT_EQ(other->collisions.size(), 1u);
            EXPECT_EQ(mover->collisions[0].mover, mover);
            EXPECT_EQ(mover->collisions[0].other, other);
            EXPECT_EQ(mover->collisions[0].where, Vector(6, 5));
        } else {
            EXPECT_TRUE(mover->collisions.empty());
            EXPECT_TRUE(other->collisions.empty());
        }
        WorldManager::getInstance().markForDelete(mover);
        WorldManager::getInstance().markForDelete(other);
        mover->setSpeed(0);
        WorldManager::getInstance().update();
    }
}

TEST_F(WorldTest, LeavingTheWorldSendsOneOutEvent) {
    auto* probe = new Probe;
    probe->setSolidness(mw::INTANGIBLE);
    probe->setPosition(Vector(79, 5));
    probe->setDirection(Vector(1, 0));
    probe->setSpeed(1);
    WorldManager& world = WorldManager::getInstance();
    world.update(); // 80 is still inside
    EXPECT_EQ(probe->outs, 0);
    world.update(); // 81 is outside
    EXPECT_EQ(probe->outs, 1);
    world.update(); // 82: already outside, no further event
    EXPECT_EQ(probe->outs, 1);
    EXPECT_EQ(probe->getPosition(), Vector(82, 5));
}

TEST_F(WorldTest, DeletionWaitsForTheEndOfUpdateAndMarkingTwiceDeletesOnce) {
    std::vector<std::string> drawn;
    auto* doomed = new Probe(&drawn, "doomed");
    new Probe(&drawn, "kept");
    WorldManager& world = WorldManager::getInstance();
    EXPECT_EQ(world.markForDelete(doomed), 0);
    EXPECT_EQ(world.markForDelete(doomed), 0);
    EXPECT_EQ(world.getAllObjects().getCount(), 2);
    world.update();
    world.draw();
    EXPECT_EQ(world.getAllObjects().getCount(), 1);
    EXPECT_EQ(drawn, std::vector<std::string>{"kept"});
}

TEST_F(WorldTest, DrawsByAltitudeThenInWorldOrder) {
    std::vector<std::string> drawn;
    const std::pair<const char*, int> objects[] = {
        {"front", 4}, {"middle-a", 2}, {"back", 0}, {"middle-b", 2}, {"never", 5}, {"hidden", -1}};
    for (const auto& [name, altitude] : objects)
        (new Probe(&drawn, name))->setAltitude(altitude);
    WorldManager::getInstance().draw();
    EXPECT_EQ(drawn, (std::vector<std::string>{"back", "middle-a", "middle-b", "front"}));
}

TEST_F(WorldTest, ObjectsOfTypeMatchesExactly) {
    auto* a = new Probe;
    (new mw::Object)->setType("Prob");
    auto* b = new Probe;
    const mw::ObjectList found = WorldManager::getInstance().objectsOfType("Probe");
    ASSERT_EQ(found.getCount(), 2);
    EXPECT_EQ(found[0], a);
    EXPECT_EQ(found[1], b);
    EXPECT_TRUE(WorldManager::getInstance().objectsOfType("probe").isEmpty());
}

// Creates a new spawner on every step it receives.
class Spawner : public mw::Object {
public:
    int eventHandler(const mw::Event& event) override {
        if (event.getType() == mw::STEP_EVENT) {
            ++steps;
            new Spawner;
        }
        return 1;
    }
    int steps = 0;
};

TEST_F(WorldTest, ABroadcastReachesOnlyTheObjectsThatExistedWhenItBegan) {
    auto* first = new Spawner;
    mw::GameManager::getInstance().onEvent(mw::EventStep(0));
    EXPECT_EQ(first->steps, 1);
    const mw::ObjectList all = WorldManager::getInstance().getAllObjects();
    ASSERT_EQ(all.getCount(), 2);
    EXPECT_EQ(static_cast<Spawner*>(all[1])->steps, 0);
    mw::GameManager::getInstance().onEvent(mw::EventStep(1));
    EXPECT_EQ(static_cast<Spawner*>(all[1])->steps, 1);
    EXPECT_EQ(WorldManager::getInstance().getAllObjects().getCount(), 4);
}

TEST_F(WorldTest, AFullWorldLeavesNewObjectsOutside) {
    std::vector<std::unique_ptr<mw::Object>> objects;
    for (int i = 0; i < 1000; ++i)
        objects.push_back(std::make_unique<mw::Object>());
    mw::Object extra;
    EXPECT_EQ(WorldManager::getInstance().getAllObjects().getCount(), 1000);
    objects.pop_back();
    EXPECT_EQ(WorldManager::getInstance().getAllObjects().getCount(), 1000 - 1);
    objects.clear();
}

} // namespace
