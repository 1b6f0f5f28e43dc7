#include "engine/Manager.h"

#include "engine/Object.h"
#include "engine/WorldManager.h"

namespace mw {

int Manager::startUp() {
    m_started = true;
    return 0;
}

void Manager::shutDown() {
    m_started = false;
}

void Manager::onEvent(const Event& event) const {
    const ObjectList snapshot = WorldManager::getInstance().getAllObjects();
    for (int i = 0; i < snapshot.getCount(); ++i)
        snapshot[i]->eventHandler(event);
}

} // namespace mw
