// The chime voice: one MIDI note per hard collision.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

// The MIDI output the chime plays on. Every failure is silent: a port that could
// not be opened simply sends nothing.
class MidiPort {
 public:
  virtual ~MidiPort() = default;
  // Opens the first output device; callbackWindow is a window handle or 0. The bell opens
  // its port at its first note.
  virtual void Open(uintptr_t callbackWindow) = 0;
  // Sends one packed short message; returns the platform's result.
  virtual uint32_t Send(uint32_t packedMessage) = 0;
  virtual void Close() = 0;
};

// The platform's port: winmm on Windows, a silent port elsewhere.
std::unique_ptr<MidiPort> CreateSystemMidiPort();

inline constexpr int ChimeNoteCount = 15;
// 1-based: ChimeNotes[1] .. ChimeNotes[15]; entry 0 is unused.
extern const int32_t ChimeNotes[ChimeNoteCount + 1];

class TWindBell {
 public:
  TWindBell(std::unique_ptr<MidiPort> port, uintptr_t callbackWindow);
  virtual ~TWindBell();
  TWindBell(const TWindBell&) = delete;
  TWindBell& operator=(const TWindBell&) = delete;

  void Ring(int32_t A, int32_t B);
  uint32_t SendShortMsg(int32_t Status, int32_t Data1, int32_t Data2);

  int32_t LastMsg = 0;
  bool Enabled = false;
  // Sees every Ring call with its arguments as given, before anything is played;
  // for tools that record the chime.
  std::function<void(int32_t A, int32_t B)> OnRing;

 private:
  void OpenOnce();

  std::unique_ptr<MidiPort> Port;
  uintptr_t CallbackWindow = 0;
  bool OpenTried = false;
};

// Exists exactly while SoundOpen is on (start-up creates it).
extern TWindBell* WindBell;
