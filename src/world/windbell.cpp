#include "world/windbell.h"

#include <utility>

#include "world/bubble_table.h"

const int32_t ChimeNotes[ChimeNoteCount + 1] = {0,  60, 62, 65, 67, 70, 72, 74,
                                                77, 79, 82, 84, 86, 89, 91, 94};

TWindBell* WindBell = nullptr;

namespace {

constexpr int32_t ProgramChange = 0xC0;
constexpr int32_t ControlChange = 0xB0;
constexpr int32_t NoteOn = 0x90;
constexpr int32_t ElectricPiano = 4;
constexpr int32_t ModulationWheel = 1;
constexpr int32_t ModulationDepth = 80;
constexpr int32_t StrikeVelocity = 127;

// Bubble indices run past the 15 notes; higher ones wrap round (16 plays note 2).
// Indices below 1 never come from the table but must not read outside the notes either.
int32_t FoldChimeIndex(int32_t index) {
  if (index >= 1 && index <= ChimeNoteCount) return index;
  const int32_t remainder = index % ChimeNoteCount;
  return (remainder < 0 ? remainder + ChimeNoteCount : remainder) + 1;
}

}  // namespace

TWindBell::TWindBell(std::unique_ptr<MidiPort> port, uintptr_t callbackWindow)
    : Enabled(true), Port(std::move(port)), CallbackWindow(callbackWindow) {}

// Opening a MIDI device costs a run's start 15 ms and more, before its first frame, and
// many runs never ring: the port opens, and takes its instrument, at the first note.
void TWindBell::OpenOnce() {
  if (std::exchange(OpenTried, true)) return;
  try {
    if (Port) Port->Open(CallbackWindow);
    SendShortMsg(ProgramChange, ElectricPiano, 0);
    SendShortMsg(ControlChange, ModulationWheel, ModulationDepth);
  } catch (...) {
    // No sound is no error: the saver runs on silently.
  }
}

TWindBell::~TWindBell() {
  try {
    if (Port) Port->Close();
  } catch (...) {
  }
}

void TWindBell::Ring(int32_t A, int32_t B) {
  if (OnRing) OnRing(A, B);
  if (!Enabled) return;
  OpenOnce();
  try {
    const int32_t chosen = Random(2) == 0 ? FoldChimeIndex(A) : FoldChimeIndex(B);
    SendShortMsg(NoteOn, ChimeNotes[chosen], StrikeVelocity);
  } catch (...) {
  }
}

uint32_t TWindBell::SendShortMsg(int32_t Status, int32_t Data1, int32_t Data2) {
  const uint32_t packed = uint32_t(Status) | (uint32_t(Data1) << 8) | (uint32_t(Data2) << 16);
  LastMsg = static_cast<int32_t>(packed);
  return Port ? Port->Send(packed) : 0;
}
