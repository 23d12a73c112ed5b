// In-process helpers for the framework's Windows tests: message pumping and a sink that
// records error reports instead of showing boxes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/win/error_report.h"

namespace framework_test {

inline std::vector<std::string>& Reports() {
  static std::vector<std::string> reports;
  return reports;
}

inline void RecordReport(const char* text) {
  Reports().emplace_back(text);
}

// Installs the recording sink for one test and restores the box afterwards.
class RecordedReports {
 public:
  RecordedReports() : Previous(SetErrorSink(RecordReport)) { Reports().clear(); }
  ~RecordedReports() { SetErrorSink(Previous); }
  const std::vector<std::string>& Texts() const { return Reports(); }

 private:
  ErrorSink Previous;
};

inline void Pump(DWORD milliseconds) {
  DWORD start = GetTickCount();
  do {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (GetTickCount() - start < milliseconds);
}

}  // namespace framework_test
