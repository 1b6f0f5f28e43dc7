#include "game/SharedCounts.h"

void SharedCounts::reset() {
    *this = SharedCounts{};
}

SharedCounts& sharedCounts() {
    static SharedCounts counts;
    return counts;
}
