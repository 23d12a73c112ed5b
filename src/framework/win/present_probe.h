// Where a drawing path hands a frame to the screen. Timing programs listen through
// present_listener.h; the program itself never does, and then a note costs one test.
#pragma once

enum class PresentKind { Flip, PreviewBlit };

void NotePresent(PresentKind kind);
