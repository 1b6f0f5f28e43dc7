#include "engine/Event.h"
