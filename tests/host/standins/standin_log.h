// What a stand-in for a platform library saw, appended as one line per event to the file
// that VESPERINE_STANDIN_LOG names, so that a test in another process can read it.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace standin {

inline void Log(const char* format, ...) {
  char path[MAX_PATH] = {};
  if (GetEnvironmentVariableA("VESPERINE_STANDIN_LOG", path, MAX_PATH) == 0) return;
  char line[512] = {};
  va_list arguments;
  va_start(arguments, format);
  vsnprintf(line, sizeof line, format, arguments);
  va_end(arguments);
  if (FILE* file = fopen(path, "a")) {
    fprintf(file, "%s\n", line);
    fclose(file);
  }
}

// The program that loaded the stand-in, by its file name.
inline const char* ProgramName() {
  static char name[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, name, MAX_PATH);
  const char* last = name;
  for (const char* c = name; *c; ++c) {
    if (*c == '\\' || *c == '/') last = c + 1;
  }
  return last;
}

}  // namespace standin
