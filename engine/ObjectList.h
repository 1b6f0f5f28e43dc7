#pragma once

#include <array>

namespace mw {

class Object;

// A fixed-capacity list of object pointers that does not own them. Copies are
// whole snapshots, so a copy can be walked while the original changes.
class ObjectList {
public:
    static constexpr int MAX_OBJECTS = 1000;

    // Appends; -1 when the list is full.
    int insert(Object* object);
    // Removes the first entry equal to object, keeping the order; -1 when absent.
    int remove(Object* object);
    void clear() { m_count = 0; }

    int getCount() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }
    bool isFull() const { return m_count == MAX_OBJECTS; }

    // Throws std::out_of_range("Invalid Index!") outside 0 .. count - 1.
    Object* operator[](int index) const;

private:
    std::array<Object*, MAX_OBJECTS> m_objects{};
    int m_count = 0;
};

} // namespace mw
