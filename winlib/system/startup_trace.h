// Timing points of the start-up, for a diagnostic build (cmake -DZEMBRA_STARTUP_TRACE=ON):
// each mark goes to the debugger output, where scripts/startup-breakdown reads it with Wine's
// timestamps. In every other build a mark is nothing at all: the name of what a mark is about
// is passed apart, so that no text is put together for it.
#pragma once

#include <string>

#ifdef ZEMBRA_STARTUP_TRACE
#include <windows.h>

inline void StartupMark(const char* what, const std::string& about = std::string()) {
  OutputDebugStringA((std::string("startup: ") + what + about + "\n").c_str());
}
#else
inline void StartupMark(const char*) {}
inline void StartupMark(const char*, const std::string&) {}
#endif
