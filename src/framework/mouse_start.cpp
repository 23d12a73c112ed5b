#include "framework/mouse_start.h"

bool MouseStartTracker::Report(int32_t x, int32_t y) {
  if (X == 0 && Y == 0) {
    X = x;
    Y = y;
    return false;
  }
  return x != X || y != Y;
}
