#pragma once

#include <string>

namespace mw {

class Event;

// Base of every engine service. Each concrete manager is a single instance
// reached through its own static getInstance(); its constructor only sets
// initial values, and everything that can fail happens in startUp().
class Manager {
public:
    virtual ~Manager() = default;

    // 0 on success, -1 on failure.
    virtual int startUp();
    virtual void shutDown();

    bool isStarted() const { return m_started; }
    std::string getType() const { return m_type; }

    // Sends the event to every object of a snapshot of the world, in list order.
    void onEvent(const Event& event) const;

protected:
    Manager() = default;
    Manager(const Manager&) = delete;
    Manager& operator=(const Manager&) = delete;

    void setType(const std::string& type) { m_type = type; }
    void setStarted(bool started) { m_started = started; }

private:
    std::string m_type;
    bool m_started = false;
};

} // namespace mw
