#pragma once

#include <string>

namespace mw {

/// The type of an event whose class has set none.
inline const std::string UNDEFINED_EVENT = "mw::undefined";

/// Base of every event. Receivers ask for the class they handle with getIf(),
/// or compare getType() with a type constant. A game defines its own events
/// by deriving from it and setting a type of its own in the constructor.
class Event {
public:
    Event() = default;
    virtual ~Event() = default;

    /// Names the kind of event; each event class calls it in its constructor.
    void setType(const std::string& type) { m_type = type; }
    /// The kind of event: UNDEFINED_EVENT until a type is set.
    std::string getType() const { return m_type; }

    /// The event as an EventT, or nullptr when it is not one:
    ///     if (const auto* key = event.getIf<mw::EventKeyboard>()) ...
    template <class EventT> const EventT* getIf() const {
        return dynamic_cast<const EventT*>(this);
    }

private:
    std::string m_type = UNDEFINED_EVENT;
};

} // namespace mw
