#pragma once

#include <string>

namespace mw {

inline const std::string UNDEFINED_EVENT = "mw::undefined";

// Base of every event. Receivers compare getType() with a type constant and
// then treat the event as the matching class.
class Event {
public:
    Event() = default;
    virtual ~Event() = default;

    void setType(const std::string& type) { m_type = type; }
    std::string getType() const { return m_type; }

private:
    std::string m_type = UNDEFINED_EVENT;
};

} // namespace mw
