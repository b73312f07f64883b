// The COM apartment of the user-interface thread, which the picture decoder and the objects for
// screen readers share: ole32 and oleaut32 loaded from the system folder and COM initialised at
// the first need (not at start-up: most runs need neither), and undone when the program ends.
#pragma once

#include "winlib/system/system_library.h"

class ComApartment {
 public:
  // Loads the two libraries (file names in the system folder) and initialises COM on this
  // thread; Entered() says whether all that succeeded.
  ComApartment(const char* ole32File, const char* oleaut32File);
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  // The apartment of the system's libraries, entered at the first call (on the user-interface
  // thread) and kept for the run.
  static const ComApartment& System();

  bool Entered() const { return entered_; }
  const SystemLibrary& Ole32() const { return ole32_; }
  const SystemLibrary& OleAut32() const { return oleaut32_; }

 private:
  SystemLibrary ole32_, oleaut32_;
  bool entered_ = false;
};
