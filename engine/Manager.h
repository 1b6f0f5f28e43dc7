#pragma once

#include <string>

namespace mw {

class Event;

/// Base of every engine service. Each concrete manager is a single instance
/// reached through its own static getInstance(); its constructor only sets
/// initial values, and everything that can fail happens in startUp().
class Manager {
public:
    virtual ~Manager() = default;

    /// Starts the service. The base version only marks the manager started.
    /// Returns 0 on success, -1 on failure (each manager says what it logs).
    virtual int startUp();
    /// Stops the service. The base version only marks the manager not started.
    virtual void shutDown();

    /// True between a successful startUp() and the next shutDown().
    bool isStarted() const { return m_started; }
    /// The manager's name, such as "WorldManager".
    std::string getType() const { return m_type; }

    /// Sends the event to every object of a snapshot of the world, in list
    /// order: objects created meanwhile get the next event, not this one.
    /// The handlers' results are ignored; logs nothing.
    void onEvent(const Event& event) const;

protected:
    Manager() = default;
    Manager(const Manager&) = delete;
    Manager& operator=(const Manager&) = delete;

    /// Names the manager; called by the constructors.
    void setType(const std::string& type) { m_type = type; }
    /// Marks the manager started or not.
    void setStarted(bool started) { m_started = started; }

private:
    std::string m_type;
    bool m_started = false;
};

} // namespace mw
