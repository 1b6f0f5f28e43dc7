#include "engine/ObjectList.h"

#include <stdexcept>

namespace mw {

int ObjectList::insert(Object* object) {
    if (isFull())
        return -1;
    m_objects[m_count++] = object;
    return 0;
}

int ObjectList::remove(Object* object) {
    for (int i = 0; i < m_count; ++i) {
        if (m_objects[i] == object) {
            for (int j = i; j + 1 < m_count; ++j)
                m_objects[j] = m_objects[j + 1];
            --m_count;
            return 0;
        }
    }
    return -1;
}

Object* ObjectList::operator[](int index) const {
    if (index < 0 || index >= m_count)
        throw std::out_of_range("Invalid Index!");
    return m_objects[index];
}

} // namespace mw
