// Tooltips that take tools as comctl32 version 5 does, the version that Windows gives a
// program without a manifest: a TOOLINFO larger than the version-2 structure (up to lParam)
// is refused. Wine's tooltips take any size, so the tests put this class in their way: an
// application class of the tooltip class's name, found before the global one, which checks
// the size and hands everything else to comctl32's own procedure.
#pragma once

#include <windows.h>

class Comctl5Tooltips {
 public:
  // Registers the class; comctl32's tooltip class must be registered already.
  Comctl5Tooltips();
  ~Comctl5Tooltips();
  Comctl5Tooltips(const Comctl5Tooltips&) = delete;
  Comctl5Tooltips& operator=(const Comctl5Tooltips&) = delete;

  bool Registered() const { return registered_; }
  // Tools offered to tooltips of this class, and how many of them were refused.
  static int Offered() { return offered_; }
  static int Refused() { return refused_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  static WNDPROC comctl32Proc_;
  static int offered_, refused_;
  bool registered_ = false;
};
