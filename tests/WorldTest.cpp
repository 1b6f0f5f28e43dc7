#include "engine/EventCollision.h"
#include "engine/EventOut.h"
#include "engine/WorldManager.h"
#include "support/TestSupport.h"

#include <cstdlib>
#include <stdexcept>

using mw::Vector;

// One cell wide and high; records collisions, out-of-world events and (all together) draws.
struct WorldProbe : mw::Object {
    WorldProbe(Vector at, mw::Solidness solidness) {
        setType("WorldProbe");
        setBox(mw::Box(Vector(-0.5f, -0.5f), 1, 1));
        setPosition(at);
        setSolidness(solidness);
    }
    int eventHandler(const mw::Event& event) override {
        if (event.getType() == mw::COLLISION_EVENT) {
            const auto& hit = static_cast<const mw::EventCollision&>(event);
            collisions.push_back({hit.getObject1(), hit.getObject2(), hit.getPosition()});
        }
        outs += event.getType() == mw::OUT_EVENT;
        return 0;
    }
    int draw() override { return drawn.push_back(getAltitude()), 0; }
    using Seen = std::tuple<Object*, Object*, Vector>;
    std::vector<Seen> collisions;
    int outs = 0;
    static inline std::vector<int> drawn;
};

using WorldTest = mwtest::EngineTest;
static mw::WorldManager& world = mw::WorldManager::getInstance();

TEST_F(WorldTest, SolidObjectsCollideWhereTheirBoxesMeetAndBlockingPairsRefuseTheMove) {
    using mw::BLOCKING, mw::PASSABLE, mw::INTANGIBLE; // movers go from (5, 5) to the target
    const std::tuple<mw::Solidness, mw::Solidness, Vector, Vector, int, bool> cases[] = {
        {BLOCKING, BLOCKING, {6, 5}, {20, 5}, 0, false},
        {BLOCKING, BLOCKING, {6, 5}, {6.5f, 5}, -1, true},
        {BLOCKING, PASSABLE, {6, 5}, {6.5f, 5}, 0, true},
        {PASSABLE, BLOCKING, {6, 5}, {6.5f, 5}, 0, true},
        {INTANGIBLE, BLOCKING, {6, 5}, {6.5f, 5}, 0, false},
        {BLOCKING, INTANGIBLE, {6, 5}, {6.5f, 5}, 0, false},
        {BLOCKING, BLOCKING, {6, 5}, {7, 5}, -1, true}, // sharing an edge is meeting
        {BLOCKING, BLOCKING, {6, 5}, {7.25f, 5}, 0, false},
        {BLOCKING, BLOCKING, {4, 5}, {3, 5}, -1, true},
        {BLOCKING, BLOCKING, {6, 5}, {6.5f, 5.75f}, -1, true},
        {BLOCKING, BLOCKING, {6, 5}, {6.5f, 4.25f}, -1, true},
        {BLOCKING, BLOCKING, {6, 5}, {6, 6}, -1, true},
        {BLOCKING, BLOCKING, {6, 5}, {6, 3.75f}, 0, false},
    };
    for (const auto& [moverSolidness, otherSolidness, target, otherAt, result, meet] : cases) {
        WorldProbe other(otherAt, otherSolidness); // the first in the world
        WorldProbe mover({5, 5}, moverSolidness);
        SCOPED_TRACE(testing::Message() << otherAt.getX() << ", " << otherAt.getY());
        EXPECT_EQ(world.moveObject(&mover, target), result);
        EXPECT_EQ(mover.getPosition(), result == 0 ? target : Vector(5, 5));
        const std::vector<WorldProbe::Seen> seen = {{&mover, &other, target}};
        EXPECT_EQ(mover.collisions, meet ? seen : std::vector<WorldProbe::Seen>{});
        EXPECT_EQ(other.collisions, mover.collisions);
    }
}

TEST_F(WorldTest, UpdateMovesByVelocityAndLeavingTheEightyByTwentyFourWorldSendsOneOutEvent) {
    const std::tuple<Vector, Vector, int> cases[] = {
        {{79, 5}, {1, 0}, 0}, {{80, 5}, {1, 0}, 1}, {{81, 5}, {1, 0}, 0},
        {{1, 5}, {-1, 0}, 0}, {{0, 5}, {-1, 0}, 1}, {{5, 23}, {0, 1}, 0},
        {{5, 24}, {0, 1}, 1}, {{5, 1}, {0, -1}, 0}, {{5, 0}, {0, -1}, 1},
    };
    for (const auto& [from, direction, outs] : cases) {
        WorldProbe probe(from, mw::INTANGIBLE);
        probe.setDirection(direction);
        probe.setSpeed(1);
        world.update();
        EXPECT_EQ(probe.getPosition(), from + direction);
        EXPECT_EQ(probe.outs, outs) << from.getX() << ", " << from.getY();
    }
}

TEST_F(WorldTest, MarkedObjectsGoAtTheEndOfUpdateAndTheRestDrawByAltitude) {
    WorldProbe::drawn.clear();
    WorldProbe* probes[6];
    const int altitudes[] = {4, 2, -1, 5, 0, 1};
    for (int i = 0; i < 6; ++i)
        (probes[i] = new WorldProbe({0, 0}, mw::BLOCKING))->setAltitude(altitudes[i]);
    const int marked = world.markForDelete(probes[5]) + world.markForDelete(probes[5]) +
                       world.markForDelete(probes[3]);
    EXPECT_TRUE(marked == 0 && world.getAllObjects().getCount() == 6);
    world.update();
    world.update();
    world.draw();
    EXPECT_EQ(WorldProbe::drawn, (std::vector<int>{0, 2, 4}));
    EXPECT_TRUE(probes[1]->collisions.empty()); // objects that stay put do not collide
    const mw::ObjectList found = world.objectsOfType("WorldProbe");
    ASSERT_EQ(found.getCount(), 4);
    EXPECT_TRUE(found[0] == probes[0] && found[3] == probes[4]);
    world.markForDelete(probes[1]);
    world.shutDown();
    EXPECT_TRUE(world.getAllObjects().isEmpty() && !world.isStarted());
    world.update(); // the marked object went with the rest
    EXPECT_TRUE(world.startUp() == 0 && world.isStarted());
}

TEST(ObjectListTest, HoldsAThousandInOrderAndThrowsOutsideItsCount) {
    static char storage[4];
    const auto fake = [](int n) { return reinterpret_cast<mw::Object*>(&storage[n % 4]); };
    mw::ObjectList list;
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(list.insert(fake(i)), 0);
    EXPECT_TRUE(list.insert(fake(0)) == -1 && list.isFull() && list[999] == fake(3));
    for (int i = 0; i < 996; ++i)
        list.remove(fake(i));
    EXPECT_EQ(list.remove(fake(1)) + list.remove(fake(2)) + list.remove(fake(2)), -1);
    EXPECT_TRUE(list.getCount() == 2 && list[0] == fake(0) && list[1] == fake(3));
    EXPECT_THROW((void)list[-1], std::out_of_range);
    EXPECT_THROW((void)list[2], std::out_of_range);
    // The last one goes once: the slot it leaves is not searched.
    EXPECT_TRUE(list.remove(fake(3)) == 0 && list.remove(fake(3)) == -1 && list.getCount() == 1);
}

TEST_F(WorldTest, ObjectIdsCountFromZeroInARun) {
    if (std::getenv("MW_RUN_ALONE") == nullptr)
        GTEST_SKIP() << "runs in a process of its own";
    const mw::Object* first = new mw::Object;
    const mw::Object* second = new mw::Object;
    EXPECT_EQ(first->getId() * 10 + second->getId(), 1);
}

// Objects made after the change stay; a range-for over the world's snapshot sees them in order.
TEST_F(WorldTest, ClearingTheWorldKeepsTheNamedObjectsAndTheMarkedOnesCollideUntilTheUpdateEnds) {
    auto* kept = new WorldProbe({6, 5}, mw::BLOCKING);
    auto* mover = new WorldProbe({5, 5}, mw::BLOCKING);
    auto* bystander = new WorldProbe({10, 10}, mw::BLOCKING);
    mover->setDirection({1, 0});
    mover->setSpeed(0.5f);
    world.clearWorld({kept});
    auto* made = new WorldProbe({20, 20}, mw::BLOCKING);
    const auto all = [] {
        std::vector<mw::Object*> seen;
        for (mw::Object* object : world.getAllObjects())
            seen.push_back(object);
        return seen;
    };
    EXPECT_EQ(all(), (std::vector<mw::Object*>{kept, mover, bystander, made}));
    world.update();
    EXPECT_EQ(kept->collisions, (std::vector<WorldProbe::Seen>{{mover, kept, Vector(5.5f, 5)}}));
    EXPECT_EQ(all(), (std::vector<mw::Object*>{kept, made}));
}

// The sanitizer build would see a second delete; an unknown sprite asked for again, as every
// frame, is not logged again.
TEST_F(WorldTest, MisusedObjectsAreReportedInOneLineAndNothingIsDeletedTwice) {
    auto* marked = new WorldProbe({1, 1}, mw::BLOCKING);
    auto* other = new WorldProbe({3, 1}, mw::BLOCKING);
    EXPECT_EQ(world.markForDelete(marked) + world.markForDelete(other), 0);
    delete marked; // by hand, after it was marked: the world must not delete it again
    world.update();
    EXPECT_TRUE(world.getAllObjects().isEmpty());
    EXPECT_EQ(world.markForDelete(other), -1); // deleted already
    auto* probe = new WorldProbe({1, 1}, mw::BLOCKING);
    const std::string probeId = std::to_string(probe->getId());
    probe->setBox(mw::Box(Vector(-1, -1), 2, 2));
    EXPECT_EQ(probe->setSprite("no-such-sprite") + probe->setSprite("no-such-sprite"), -2);
    EXPECT_EQ(probe->getBox().getHorizontal(), 2); // unchanged
    world.shutDown();
    testing::internal::CaptureStderr();
    const mw::Object* early = new mw::Object; // before the world starts: startUp() empties it
    const std::string warning = testing::internal::GetCapturedStderr();
    const std::string earlyId = std::to_string(early->getId());
    ASSERT_EQ(world.startUp(), 0);
    EXPECT_TRUE(world.getAllObjects().isEmpty());
    delete early;
    EXPECT_EQ(warning, "Object " + earlyId +
                           " was made before the world started: GameManager::startUp() "
                           "empties the world, so make objects after it.\n");
    const std::vector<std::string> lines = logLines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 5, lines.end()),
              (std::vector<std::string>{
                  "WorldManager::removeObject() - An object of type 'WorldProbe' marked for "
                  "deletion was deleted by hand",
                  "WorldManager::markForDelete() - Not an object of the world (deleted already?)",
                  "Object::setSprite() - No sprite has the label 'no-such-sprite' (object " +
                      probeId + " of type 'WorldProbe')",
                  "Object::Object() - Object " + earlyId + " was made before the world started",
                  "WorldManager::startUp() - WM was started up"}));
}

TEST(ValueTypesTest, EventsAnswerForTheirOwnClassOnly) {
    const Vector a(3, 4);
    mw::Object* one = reinterpret_cast<mw::Object*>(0x10);
    mw::Object* two = reinterpret_cast<mw::Object*>(0x20);
    const mw::EventCollision collision(one, two, a);
    const mw::EventOut out;
    EXPECT_TRUE(collision.getOther(one) == two && collision.getOther(two) == one &&
                collision.getOther(nullptr) == nullptr);
    const mw::Event& event = collision;
    EXPECT_TRUE(event.getIf<mw::EventCollision>() == &collision &&
                event.getIf<mw::EventOut>() == nullptr &&
                static_cast<const mw::Event&>(out).getIf<mw::EventOut>() == &out &&
                static_cast<const mw::Event&>(out).getIf<mw::EventCollision>() == nullptr);
}
