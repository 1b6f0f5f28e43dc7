#pragma once

#include <array>

namespace mw {

class Object;

/// A fixed-capacity list of object pointers that does not own them. Copies are
/// whole snapshots, so a copy can be walked while the original changes:
///     for (mw::Object* boat : world.objectsOfType("Boat")) ...
class ObjectList {
public:
    /// The capacity.
    static constexpr int MAX_OBJECTS = 1000;

    /// Appends the pointer (the same one may stand more than once); -1, and
    /// nothing changes, when the list is full; 0 otherwise.
    int insert(Object* object);
    /// Removes the first entry equal to object, keeping the order of the rest;
    /// -1, and nothing changes, when absent; 0 otherwise.
    int remove(Object* object);
    /// Empties the list.
    void clear() { m_count = 0; }

    /// Entries in the list.
    int getCount() const { return m_count; }
    /// True when the list holds nothing.
    bool isEmpty() const { return m_count == 0; }
    /// True when the list holds MAX_OBJECTS entries.
    bool isFull() const { return m_count == MAX_OBJECTS; }

    /// Entry index, counting from 0. Throws std::out_of_range("Invalid Index!")
    /// outside 0 .. count - 1.
    Object* operator[](int index) const;

    /// The first entry, for a range-for over the list. The list must not change
    /// during the loop: walk a copy (every query of the world returns one).
    Object* const* begin() const { return m_objects.data(); }
    /// Just past the last entry.
    Object* const* end() const { return m_objects.data() + m_count; }

private:
    std::array<Object*, MAX_OBJECTS> m_objects{};
    int m_count = 0;
};

} // namespace mw
