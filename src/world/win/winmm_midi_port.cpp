// The chime's port on Windows: the first MIDI output device through winmm. Every failure
// is silent; with no device (as under Wine without a synthesizer) nothing is sent.
// clang-format off
// windows.h must come first: mmsystem.h relies on its types.
#include <windows.h>
#include <mmsystem.h>
// clang-format on

#include "framework/win/procedure.h"
#include "world/windbell.h"

namespace {

// winmm is loaded by the port that opens, not by every start of the program.
struct Winmm {
  decltype(&midiOutOpen) Open =
      LibraryProcedure<decltype(&midiOutOpen)>("winmm.dll", "midiOutOpen");
  decltype(&midiOutShortMsg) ShortMsg =
      LibraryProcedure<decltype(&midiOutShortMsg)>("winmm.dll", "midiOutShortMsg");
  decltype(&midiOutClose) Close =
      LibraryProcedure<decltype(&midiOutClose)>("winmm.dll", "midiOutClose");
};

const Winmm& WinmmFunctions() {
  static const Winmm functions;
  return functions;
}

class WinmmMidiPort final : public MidiPort {
 public:
  ~WinmmMidiPort() override { Close(); }

  // Device 0 is the first real output, not the mapper (which is -1).
  void Open(uintptr_t callbackWindow) override {
    if (Handle != nullptr) return;
    const Winmm& winmm = WinmmFunctions();
    if (!winmm.Open || !winmm.ShortMsg || !winmm.Close) return;
    HMIDIOUT handle = nullptr;
    if (winmm.Open(&handle, 0, callbackWindow, callbackWindow, CALLBACK_WINDOW) ==
        MMSYSERR_NOERROR) {
      Handle = handle;
    }
  }

  // A port that never opened answers as winmm does for a bad handle, without asking it.
  uint32_t Send(uint32_t packedMessage) override {
    if (Handle == nullptr) return MMSYSERR_INVALHANDLE;
    return WinmmFunctions().ShortMsg(Handle, packedMessage);
  }

  void Close() override {
    if (Handle == nullptr) return;
    WinmmFunctions().Close(Handle);
    Handle = nullptr;
  }

 private:
  HMIDIOUT Handle = nullptr;
};

}  // namespace

std::unique_ptr<MidiPort> CreateSystemMidiPort() {
  return std::make_unique<WinmmMidiPort>();
}
