// Shared set-up for the world suites: a known world before every test, and fakes for
// the MIDI port and the wind's platform.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "world/bubble_table.h"
#include "world/monitor_walls.h"
#include "world/wind.h"
#include "world/windbell.h"

// Everything the world's globals hold, reset before and after each test, so no test
// sees another's bubbles or chime.
class WorldTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetWorld(); }
  void TearDown() override { ResetWorld(); }

  static void ResetWorld() {
    std::memset(static_cast<void*>(BubbleTable), 0, sizeof BubbleTable);
    WorldRect = {0, 0, 1024, 768};
    BubbleRadius = 78;
    Restitution = 0.8;
    BallsCount = 0;
    SoundOpen = false;
    WindBell = nullptr;
    SeedRandom(1);
    ClearWorldMonitors();
  }

  // Puts bubble k in use (BallsCount grows to cover it) with no colour drift.
  static Bubble& Place(int k, double x, double y, double vx, double vy, bool active = true) {
    Bubble& b = BubbleTable[k];
    b = Bubble{};
    b.X = x;
    b.Y = y;
    b.VX = vx;
    b.VY = vy;
    b.Red = b.Green = b.Blue = 100;
    b.Active = active;
    b.Index = k;
    if (BallsCount < k) BallsCount = k;
    return b;
  }
};

// Records what the chime sends; can be told to fail.
struct MidiLog {
  bool Opened = false;
  bool Closed = false;
  uintptr_t Window = 0;
  std::vector<uint32_t> Messages;
};

class RecordingMidiPort final : public MidiPort {
 public:
  explicit RecordingMidiPort(MidiLog& log) : Log(log) {}
  void Open(uintptr_t callbackWindow) override {
    if (ThrowOnOpen) throw std::runtime_error("no device");
    Log.Opened = true;
    Log.Window = callbackWindow;
  }
  uint32_t Send(uint32_t packedMessage) override {
    if (ThrowOnSend) throw std::runtime_error("device gone");
    Log.Messages.push_back(packedMessage);
    return 0;
  }
  void Close() override { Log.Closed = true; }

  bool ThrowOnOpen = false;
  bool ThrowOnSend = false;

 private:
  MidiLog& Log;
};

inline uint32_t Packed(uint32_t status, uint32_t data1, uint32_t data2) {
  return status | (data1 << 8) | (data2 << 16);
}

// A hand-driven timer: Fire runs the handler only while the timer is enabled, as a
// message timer would. It notes whether it was still enabled when destroyed.
class FakeTimer final : public WindTimer {
 public:
  explicit FakeTimer(std::vector<bool>& enabledAtDestruction)
      : EnabledAtDestruction(enabledAtDestruction) {}
  ~FakeTimer() override { EnabledAtDestruction.push_back(On); }
  void SetEnabled(bool enabled) override { On = enabled; }
  bool Enabled() const override { return On; }
  void SetInterval(uint32_t milliseconds) override { Period = milliseconds; }
  uint32_t Interval() const override { return Period; }
  void SetHandler(std::function<void()> handler) override { Handler = std::move(handler); }

  bool Fire() {
    if (!On || !Handler) return false;
    Handler();
    return true;
  }

 private:
  std::vector<bool>& EnabledAtDestruction;
  bool On = false;
  uint32_t Period = 0;
  std::function<void()> Handler;
};

class FakeWindPlatform final : public WindPlatform {
 public:
  std::unique_ptr<WindTimer> CreateTimer() override {
    return std::make_unique<FakeTimer>(EnabledAtDestruction);
  }
  uint32_t TickCount() override { return Tick; }

  uint32_t Tick = 0;
  std::vector<bool> EnabledAtDestruction;
};

inline FakeTimer& Fake(WindTimer& timer) {
  return static_cast<FakeTimer&>(timer);
}
