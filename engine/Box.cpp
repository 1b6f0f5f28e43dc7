#include "engine/Box.h"
