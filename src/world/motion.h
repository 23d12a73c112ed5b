// One frame of the bubble world: collisions, then movement, walls and tint drift.
#pragma once

#include <cstdint>

#include "world/bubble_table.h"

void MotionStep();
// Steps taken since the program started: every driver steps once per frame it draws, so
// this counts the frames of whichever driver runs.
uint64_t MotionStepsTaken();
// Inelastic impact of two equal masses with coefficient Restitution; velocities only.
void CollideBubbles(Bubble& A, Bubble& B);
