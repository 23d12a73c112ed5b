// The framework's default error handler: an error that reaches the edge of a window
// procedure, a timer handler or the program's entry is shown in a message box with the
// error's own text, and the program goes on (or ends, at the entry). No exception may
// unwind through a window procedure: Windows cannot pass it on and the process dies.
#pragma once

#include <exception>
#include <string>

// Caption of every error box; tests find the box by it.
inline constexpr char ErrorBoxCaption[] = "Vesperine";

// Shows the error's text (what()) in a modal error box owned by the active window.
void ReportError(const std::exception& error);
// For anything thrown that is not a std::exception.
void ReportUnknownError();
// Reports whatever exception_ptr holds; a null pointer reports nothing.
void ReportError(std::exception_ptr error);

// Where reports go; the default shows the error box. Tests install their own sink so a
// report does not wait for someone to press OK. Returns the previous sink.
using ErrorSink = void (*)(const char* text);
ErrorSink SetErrorSink(ErrorSink sink);

// Runs action and reports any exception it throws. True when it returned normally.
template <class Action>
bool GuardedCall(Action&& action) noexcept {
  try {
    action();
    return true;
  } catch (const std::exception& error) {
    ReportError(error);
  } catch (...) {
    ReportUnknownError();
  }
  return false;
}

// Runs action and hands back the exception instead of reporting it, for callers that
// must first leave a window procedure (a failed WM_CREATE) and report it later.
template <class Action>
std::exception_ptr CapturedCall(Action&& action) noexcept {
  try {
    action();
  } catch (...) {
    return std::current_exception();
  }
  return nullptr;
}
