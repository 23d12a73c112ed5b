// One frame of the bubble world: collisions, then movement, walls and tint drift.
#pragma once

#include "world/bubble_table.h"

void MotionStep();
// Inelastic impact of two equal masses with coefficient Restitution; velocities only.
void CollideBubbles(Bubble& A, Bubble& B);
