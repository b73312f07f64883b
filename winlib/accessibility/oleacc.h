// What screen readers need of the system: oleacc, loaded from the system folder when a screen
// reader first asks for a window's object (not at start-up), in the thread's COM apartment,
// which is entered before the first object is handed out.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>

#include "winlib/system/system_library.h"

class AccessibilityLibraries {
 public:
  // Loaded on the first call, on the user-interface thread.
  static const AccessibilityLibraries& Get();
  AccessibilityLibraries(const AccessibilityLibraries&) = delete;
  AccessibilityLibraries& operator=(const AccessibilityLibraries&) = delete;

  bool Available() const { return available_; }
  // The answer to WM_GETOBJECT for an object, or 0.
  LRESULT ResultFromObject(REFIID iid, WPARAM wParam, IUnknown* object) const;
  // The system's own object of a window (its window frame or the client area of a system
  // control); null when there is none.
  IDispatch* WindowObject(HWND window, LONG objectId) const;
  HRESULT StandardObject(HWND window, LONG objectId, REFIID iid, void** object) const;
  // A BSTR of the GBK text, owned by the caller; null when out of memory.
  BSTR String(const std::string& gbk) const;
  // Dynamic Annotation's service (oleacc's own, or a test's), with a new reference; null when
  // there is none.
  IAccPropServices* PropServices() const;

 private:
  AccessibilityLibraries();

  using LresultFromObjectFunction = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
  using StdObjectFunction = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
  using FromWindowFunction = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
  using AllocStringFunction = BSTR(WINAPI*)(const OLECHAR*, UINT);
  using CreateInstanceFunction = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);

  SystemLibrary oleacc_{"oleacc.dll"};
  LresultFromObjectFunction lresultFromObject_ = nullptr;
  StdObjectFunction createStdObject_ = nullptr;
  FromWindowFunction fromWindow_ = nullptr;
  AllocStringFunction allocString_ = nullptr;
  CreateInstanceFunction createInstance_ = nullptr;
  bool available_ = false;
};

// Stands in for Dynamic Annotation's service while it exists (for tests); it holds a reference.
class PropServicesOverride {
 public:
  explicit PropServicesOverride(IAccPropServices* services);
  ~PropServicesOverride();
  PropServicesOverride(const PropServicesOverride&) = delete;
  PropServicesOverride& operator=(const PropServicesOverride&) = delete;

 private:
  IAccPropServices* previous_;
};

// GBK bytes as UTF-16.
std::wstring WideFromGbk(const std::string& gbk);
