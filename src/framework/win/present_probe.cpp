#include "framework/win/present_probe.h"

#include "framework/win/present_listener.h"

namespace {

PresentListener Listener = nullptr;

}  // namespace

void ListenForPresents(PresentListener listener) {
  Listener = listener;
}

void NotePresent(PresentKind kind) {
  if (Listener) Listener(kind);
}
