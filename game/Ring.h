#pragma once

#include "engine/Object.h"

// The ring drawn behind a fight; it only shows its sprite.
class Ring : public mw::Object {
public:
    Ring();
};
