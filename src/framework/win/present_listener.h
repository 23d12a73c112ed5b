// For timing programs only: hear every NotePresent of this process (null: nobody).
#pragma once

#include "framework/win/present_probe.h"

using PresentListener = void (*)(PresentKind kind);
void ListenForPresents(PresentListener listener);
