// Without a platform synthesizer the chime has nowhere to play: every call succeeds and
// nothing is heard.
#include "world/windbell.h"

namespace {

class SilentMidiPort final : public MidiPort {
 public:
  void Open(uintptr_t) override {}
  uint32_t Send(uint32_t) override { return 0; }
  void Close() override {}
};

}  // namespace

std::unique_ptr<MidiPort> CreateSystemMidiPort() {
  return std::make_unique<SilentMidiPort>();
}
