#pragma once

// Reefwatch: a lighthouse keeper's night. Boats sail in from the open sea on
// the right, blind, towards the reef on the left. The player slides the lamp
// up and down the lighthouse (Up, Down) and fires flares (Space); a boat that
// a flare reaches turns and sails home, out of the world on the right. Twelve
// boats home win the night; three wrecks on the reef lose it.

#include "engine/Event.h"
#include "engine/EventKeyboard.h"
#include "engine/Object.h"
#include "engine/Vector.h"

#include <string>

namespace reefwatch {

inline constexpr int BOATS_TO_SAVE = 12;
inline constexpr int WRECKS_TO_LOSE = 3;
inline constexpr int MAX_FLARES = 2;

// Where things are, in cells. The lamp moves on column 3 between the two caps;
// the reef stands on column 9 from row 2 to row 22; boats sail on seven lanes.
inline constexpr float LAMP_X = 3.0f;
inline constexpr float LAMP_START_Y = 12.0f;
inline constexpr float REEF_X = 9.0f;
inline constexpr float BOAT_START_X = 76.0f;
inline constexpr int LANE_COUNT = 7;
inline constexpr float FIRST_LANE_Y = 3.0f;
inline constexpr float LANE_SPACING = 3.0f;

// Speeds in cells per frame: binary fractions, so positions stay exact.
inline constexpr float LAMP_SPEED = 0.5f;
inline constexpr float FLARE_SPEED = 1.5f;
inline constexpr float HOMEWARD_SPEED = 0.5f;

// Loads every sprite and sound from sprites/ and audio/ of the working
// directory; returns how many failed (each failure is in marrowick.log).
int loadResources();

// Sent to every object when a boat reaches home or the reef.
inline const std::string HARBOUR_EVENT = "reefwatch::harbour";
class EventHarbour : public mw::Event {
public:
    EventHarbour(bool saved, int points);
    bool isSaved() const { return m_saved; }
    int getPoints() const { return m_points; }

private:
    bool m_saved;
    int m_points;
};

// The player's lamp: Up and Down set its velocity, Space fires a flare.
class Lamp : public mw::Object {
public:
    Lamp();
    int eventHandler(const mw::Event& event) override;

private:
    mw::Key m_moving = mw::KEY_UNDEFINED;
};

// A flare flies right, passable, until it reaches an inbound boat or leaves the world.
class Flare : public mw::Object {
public:
    explicit Flare(mw::Vector from);
    int eventHandler(const mw::Event& event) override;
};

// An inbound boat is blocking: it wrecks when the reef refuses its move, and
// queues behind a slower boat in its lane. A flare turns it homeward: it then
// passes through other boats and counts as saved when it leaves the world.
class Boat : public mw::Object {
public:
    Boat(float y, float speed);
    int eventHandler(const mw::Event& event) override;
    bool isHomeward() const { return m_homeward; }

private:
    bool m_homeward = false;
    int m_points = 0;
};

// Scenery with a sprite and a solidness; a wreck fades and goes after its frames.
class Scenery : public mw::Object {
public:
    Scenery(const std::string& type, const std::string& sprite, mw::Vector where,
            mw::Solidness solidness, int altitude, int lifetime = -1);
    int eventHandler(const mw::Event& event) override;

private:
    int m_lifetime;
};

// The night's rules and the screens: the title, the watch with its score line,
// and the end. It lives for the whole program and makes every other object.
class Harbour : public mw::Object {
public:
    enum Phase { TITLE, WATCH, WON, LOST };

    Harbour();
    int eventHandler(const mw::Event& event) override;
    int draw() override;

    Phase getPhase() const { return m_phase; }
    int getSaved() const { return m_saved; }
    int getWrecks() const { return m_wrecks; }
    int getScore() const { return m_score; }

private:
    void startWatch();
    void endWatch(Phase phase);
    // Marks every object but the harbour for deletion.
    void clearWorld();
    void launchBoat();
    unsigned nextRandom();

    Phase m_phase = TITLE;
    int m_saved = 0;
    int m_wrecks = 0;
    int m_score = 0;
    int m_launched = 0;
    int m_untilNextBoat = 0;
    unsigned m_random = 1;
};

} // namespace reefwatch
