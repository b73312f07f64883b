// Timing points of the start-up, for a diagnostic build (cmake -DZEMBRA_STARTUP_TRACE=ON):
// each mark goes to the debugger output, where scripts/startup-breakdown reads it with Wine's
// timestamps. In every other build a mark is nothing at all.
#pragma once

#ifdef ZEMBRA_STARTUP_TRACE
#include <windows.h>

#include <string>

inline void StartupMark(const char* what) {
  OutputDebugStringA((std::string("startup: ") + what + "\n").c_str());
}
#else
inline void StartupMark(const char*) {}
#endif
