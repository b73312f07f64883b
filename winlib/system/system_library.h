// A DLL of the system, loaded from the system folder when first needed rather than imported:
// the program then starts without it, and a copy planted beside the program or the user's
// files is never taken.
#pragma once

#include <windows.h>

#include "winlib/system/scoped.h"

class SystemLibrary {
 public:
  // Loads the named file of the system folder; Loaded() says whether that succeeded.
  explicit SystemLibrary(const char* fileName);

  bool Loaded() const { return static_cast<bool>(module_); }
  HMODULE Handle() const { return module_.Get(); }
  // Gives the DLL up unfreed: it stays loaded for the rest of the run. Null when not loaded.
  HMODULE KeepLoaded() { return module_.Release(); }

  // The exported function of that name as a pointer of type Function, or null when the
  // library or the function is missing.
  template <class Function>
  Function Get(const char* name) const {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(Address(name)));
  }

 private:
  FARPROC Address(const char* name) const;

  ScopedLibrary module_;
};
