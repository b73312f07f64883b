// A system control (the list box) whose label has no window: screen readers would find no name
// for it. It is named by Dynamic Annotation (from XP on), so that the system's own objects of
// its window, its client area and its frame, go by the label's name wherever a screen reader
// makes them, UI Automation's proxies among them. Where annotation is not there (Wine has
// none), its client object is answered with one that gives the name.
#pragma once

#include <windows.h>

#include <string>

class AccessibleNaming {
 public:
  AccessibleNaming() = default;
  AccessibleNaming(const AccessibleNaming&) = delete;
  AccessibleNaming& operator=(const AccessibleNaming&) = delete;

  // The control's answer to WM_GETOBJECT: 0 once it is annotated (the system answers, by the
  // name), else for OBJID_CLIENT the system's object under the name. Annotated at the first
  // request, when a screen reader first asks: not at start-up.
  LRESULT Answer(HWND window, const std::string& name, WPARAM wParam, LPARAM lParam);
  // The window goes: its annotation goes first.
  void WindowDestroying(HWND window);

 private:
  enum class State { kNotYet, kAnnotated, kUnavailable };
  State state_ = State::kNotYet;
};
