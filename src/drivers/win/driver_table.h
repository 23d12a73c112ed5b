// What the host asks of the parts that draw or configure. Each full-screen driver library
// gives one FullScreenDriver (DirectDraw's TFDxBall, GDI+'s TFMain) and the dialog library
// one ConfigureDriver (TFBallPara); the host picks one at start-up and calls only through
// it. This header includes nothing of ours, so the host and the drivers can both use it
// without either depending on the other.
#pragma once

#include <windows.h>

struct FullScreenDriver {
  // Run mode: create the driver's form with no owner, make it a child of the host window
  // and show it. Called inside the host window's creation, after the world is laid out
  // (and, for GDI+, after GDI+ and its pictures have started); may throw, which fails the
  // creation and ends the program with the error's message.
  void (*Start)(HWND hostWindow);
  // Called from the host window's destruction, while the form's window still exists, and
  // before GDI+ shuts down: nothing of the scene may outlive it. Does nothing when Start
  // made no form.
  void (*Finish)();
  // The display went off (false) or came back (true): every timer that makes frames, wind
  // or sound holds, then each goes on where it stopped. Does nothing before Start.
  void (*SetAwake)(bool awake);
  // Whether the scene can no longer show anything (its display failed for good). Asked
  // after Start and at every host tick; false for a driver that cannot fail that way.
  bool (*GaveUp)();
  // Drops the scene now, its window and everything it holds, so that another driver can
  // take the run over. Called from the host's tick or start-up, never from the scene's own
  // handlers.
  void (*Abandon)();
};

struct ConfigureDriver {
  // Configure mode: create the settings form as the main form and run it until it is
  // closed. The settings are loaded and the framework initialised already.
  void (*Run)();
};
