// Where a drawing path hands a frame to the screen. Timing programs listen through
// present_listener.h; the program itself never does, and then a note costs one test.
// Header only, so that every layer that presents can note it without a library more.
#pragma once

enum class PresentKind { Flip, PreviewBlit };

using PresentListener = void (*)(PresentKind kind);

namespace present_probe {
inline PresentListener Listener = nullptr;
}  // namespace present_probe

inline void NotePresent(PresentKind kind) {
  if (present_probe::Listener) present_probe::Listener(kind);
}
