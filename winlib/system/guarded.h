// Where the system calls us (a window procedure, a key taken from the message loop, the entry
// point), no exception may unwind through its frames: Guarded runs the work and shows what it
// raises with the application's exception display, and the program goes on.
#pragma once

#include <exception>
#include <new>

#include "winlib/system/exception.h"
#include "winlib/system/message_box.h"

// Runs work(); true when it returned, false when it raised (and that was shown). An error that
// is not the class library's is shown with a text of its own, never with an empty box.
template <class Work>
bool Guarded(Work&& work) {
  try {
    work();
    return true;
  } catch (const Exception& e) {
    ShowUnhandledException(e);
  } catch (const std::bad_alloc&) {
    ShowUnhandledException(Exception("Out of memory"));
  } catch (const std::exception& e) {
    const char* what = e.what();
    ShowUnhandledException(Exception(what != nullptr && *what != '\0' ? what : "Unknown error"));
  } catch (...) {
    ShowUnhandledException(Exception("Unknown error"));
  }
  return false;
}
