#include "framework/win/error_report.h"

#include <windows.h>

namespace {

void ShowErrorBox(const char* text) {
  // Owned by the active window of this thread, so the box is modal to whatever shows;
  // MB_TOPMOST keeps it above a topmost full-screen window.
  MessageBoxA(GetActiveWindow(), text, ErrorBoxCaption, MB_OK | MB_ICONERROR | MB_TOPMOST);
}

ErrorSink CurrentSink = ShowErrorBox;

}  // namespace

ErrorSink SetErrorSink(ErrorSink sink) {
  ErrorSink previous = CurrentSink;
  CurrentSink = sink ? sink : ShowErrorBox;
  return previous;
}

void ReportError(const std::exception& error) {
  CurrentSink(error.what());
}

void ReportUnknownError() {
  CurrentSink("Unknown error");
}

void ReportError(std::exception_ptr error) {
  if (!error) return;
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& caught) {
    ReportError(caught);
  } catch (...) {
    ReportUnknownError();
  }
}
