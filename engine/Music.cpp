#include "engine/Music.h"
