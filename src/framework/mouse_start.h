// The full-screen scene forms' mouse start rule: the first mouse report over a form is only
// recorded; later reports away from it are forwarded to the host, which ends the run by its
// own mouse rule. Both drivers' forms keep one.
#pragma once

#include <cstdint>

class MouseStartTracker {
 public:
  // True when this report should be forwarded to the host window. (0, 0) means nothing
  // recorded yet, so a first report at (0, 0) leaves the next one to be recorded.
  bool Report(int32_t x, int32_t y);
  int32_t StartX() const { return X; }
  int32_t StartY() const { return Y; }

 private:
  int32_t X = 0;
  int32_t Y = 0;
};
