// For timing programs only: hear every NotePresent of this process (null: nobody).
#pragma once

#include "framework/win/present_probe.h"

inline void ListenForPresents(PresentListener listener) {
  present_probe::Listener = listener;
}
