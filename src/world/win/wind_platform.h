// The Windows side of the wind: its timers are TTimers of the main thread and its clock
// is GetTickCount, so a driver form creates its wind with
//   Wind = std::make_unique<TWind>(SystemWindPlatform());
#pragma once

#include <memory>

#include "framework/win/timer.h"
#include "world/wind.h"

class WinWindTimer final : public WindTimer {
 public:
  void SetEnabled(bool enabled) override { Timer.SetEnabled(enabled); }
  bool Enabled() const override { return Timer.Enabled(); }
  void SetInterval(uint32_t milliseconds) override { Timer.SetInterval(milliseconds); }
  uint32_t Interval() const override { return Timer.Interval(); }
  void SetHandler(std::function<void()> handler) override { Timer.SetOnTimer(std::move(handler)); }

 private:
  TTimer Timer;
};

class WinWindPlatform final : public WindPlatform {
 public:
  std::unique_ptr<WindTimer> CreateTimer() override { return std::make_unique<WinWindTimer>(); }
  uint32_t TickCount() override;
  int64_t Microseconds() override;
};

// The process's one platform object; lives until the program ends.
WindPlatform& SystemWindPlatform();
