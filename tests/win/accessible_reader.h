// Reads a window's client object as a screen reader does, from this process or another: the
// object itself and its children, with their names, roles, states and places on the screen.
// The caller has initialised COM on its thread.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <utility>
#include <vector>

// COM on this thread for a scope.
class ScopedCom {
 public:
  ScopedCom() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ScopedCom() {
    if (initialised_) CoUninitialize();
  }
  ScopedCom(const ScopedCom&) = delete;
  ScopedCom& operator=(const ScopedCom&) = delete;

 private:
  bool initialised_;
};

// Records the window and child id of every focus event of a process's client objects for a
// scope, as a screen reader hears them: out of context, while this thread dispatches messages.
// One at a time.
class ScopedFocusEvents {
 public:
  ScopedFocusEvents(DWORD process, std::vector<std::pair<HWND, long>>* events);
  ~ScopedFocusEvents();
  ScopedFocusEvents(const ScopedFocusEvents&) = delete;
  ScopedFocusEvents& operator=(const ScopedFocusEvents&) = delete;
  bool Set() const { return hook_ != nullptr; }

 private:
  HWINEVENTHOOK hook_ = nullptr;
};

struct AccessibleElement {
  long childId = 0;       // 0 for an object of its own (a child window)
  HWND window = nullptr;  // the window of an object of its own
  std::wstring name;
  long role = 0;
  long state = 0;
  RECT location = {0, 0, 0, 0};  // on the screen
};

class AccessibleReader {
 public:
  explicit AccessibleReader(HWND window, LONG objectId = OBJID_CLIENT);
  ~AccessibleReader();
  AccessibleReader(const AccessibleReader&) = delete;
  AccessibleReader& operator=(const AccessibleReader&) = delete;

  // Whether the window gave an object that answers for IAccessible.
  bool Found() const { return object_ != nullptr; }
  IAccessible* Object() const { return object_; }

  AccessibleElement Self() const { return Read(CHILDID_SELF); }
  AccessibleElement Child(long childId) const { return Read(childId); }
  std::vector<AccessibleElement> Children() const;
  // The child id of the first child of that name, or 0.
  long ChildNamed(const std::wstring& name) const;
  // The child id that get_accFocus names, 0 for the object itself, -1 for none or an object.
  long FocusedChild() const;

 private:
  AccessibleElement Read(long childId) const;
  static AccessibleElement ReadObject(IAccessible* object);

  IAccessible* object_ = nullptr;
};
