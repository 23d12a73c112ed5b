// Shared set-up for the world suites: a known world before every test, and fakes for
// the MIDI port and for the wind's timers and clock.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "world/bubble_table.h"
#include "world/wind.h"
#include "world/windbell.h"

// The world's globals are reset around each test, so no test sees another's bubbles.
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
  }
  // Bubble k with no colour drift; BallsCount grows to cover it.
  static Bubble& Place(int k, double x, double y, double vx, double vy, bool active = true) {
    BubbleTable[k] = Bubble{x, y, vx, vy, 100, 100, 100, 0, 0, 0, active, k};
    BallsCount = std::max(BallsCount, k);
    return BubbleTable[k];
  }
};

struct MidiLog {
  uintptr_t Window = 1;
  bool Closed = false, FailOpen = false, FailSend = false;
  std::vector<uint32_t> Messages;
};

class RecordingMidiPort final : public MidiPort {
 public:
  explicit RecordingMidiPort(MidiLog& log) : Log(log) {}
  void Open(uintptr_t callbackWindow) override {
    if (Log.FailOpen) throw std::runtime_error("no device");
    Log.Window = callbackWindow;
  }
  uint32_t Send(uint32_t packedMessage) override {
    if (Log.FailSend) throw std::runtime_error("device gone");
    Log.Messages.push_back(packedMessage);
    return 0;
  }
  void Close() override { Log.Closed = true; }

 private:
  MidiLog& Log;
};

inline uint32_t NoteOn(uint32_t note) {
  return 0x90u | note << 8 | 127u << 16;
}

// Fire runs the handler only while enabled, as a message timer would. A timer notes
// whether it was still enabled when destroyed.
class FakeTimer final : public WindTimer {
 public:
  explicit FakeTimer(std::vector<bool>& enabledAtEnd) : EnabledAtEnd(enabledAtEnd) {}
  ~FakeTimer() override { EnabledAtEnd.push_back(On); }
  void SetEnabled(bool enabled) override { On = enabled; }
  bool Enabled() const override { return On; }
  void SetInterval(uint32_t milliseconds) override { Period = milliseconds; }
  uint32_t Interval() const override { return Period; }
  void SetHandler(std::function<void()> handler) override { Handler = std::move(handler); }
  bool Fire() { return On && Handler ? (Handler(), true) : false; }

 private:
  std::vector<bool>& EnabledAtEnd;
  bool On = false;
  uint32_t Period = 0;
  std::function<void()> Handler;
};

struct FakeWindPlatform final : WindPlatform {
  std::unique_ptr<WindTimer> CreateTimer() override {
    return std::make_unique<FakeTimer>(EnabledAtEnd);
  }
  uint32_t TickCount() override { return Tick; }
  uint32_t Tick = 0;
  std::vector<bool> EnabledAtEnd;
};

inline FakeTimer& Fake(WindTimer& timer) {
  return static_cast<FakeTimer&>(timer);
}
