#pragma once

// What a boxer is doing with its body; also the punch a boxer throws.
enum BoxerMove {
    IDLE = 0,
    CHARGE_RIGHT = 1,
    CHARGE_LEFT = 2,
    SWING_RIGHT = 3,
    SWING_LEFT = 4,
    DODGE_RIGHT = 5,
    DODGE_LEFT = 6,
};
