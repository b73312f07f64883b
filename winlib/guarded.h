// Where the system calls us (a window procedure, a key taken from the message loop), no
// exception may unwind through its frames: Guarded runs the work and shows what it raises with
// the application's exception display, and the program goes on.
#pragma once

#include <exception>

#include "winlib/exception.h"

// The application's exception display, when there is an application; else nothing is shown.
void ShowUnhandledException(const Exception& e);

// Runs work(); true when it returned, false when it raised (and that was shown).
template <class Work>
bool Guarded(Work&& work) {
  try {
    work();
    return true;
  } catch (const Exception& e) {
    ShowUnhandledException(e);
  } catch (const std::exception& e) {
    ShowUnhandledException(Exception(e.what()));
  } catch (...) {
    ShowUnhandledException(Exception(""));
  }
  return false;
}
