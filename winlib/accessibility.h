// What screen readers need of the system: oleacc, ole32 and oleaut32, loaded from the system
// folder when a screen reader first asks for a window's object (none of them at start-up),
// with COM initialised on the user-interface thread before the first object is handed out.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>

#include "winlib/system_library.h"

// IAccessible's interface identifier, defined here once: the one of mingw's liboleacc.a can be
// wrong when it is linked before libuuid.
extern const IID kIidAccessible;

// What every object of ours that screen readers get has: its count of references and the
// interfaces it answers for (IUnknown, IDispatch, IAccessible; others as it says).
class AccessibleObject : public IAccessible {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, kIidAccessible)) {
      *object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    return OtherInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long left = --references_;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

 protected:
  AccessibleObject() = default;
  virtual ~AccessibleObject() = default;
  virtual HRESULT OtherInterface(REFIID, void** object) {
    *object = nullptr;
    return E_NOINTERFACE;
  }

 private:
  long references_ = 1;  // one thread: the user interface's
};

class AccessibilityLibraries {
 public:
  // Loaded on the first call, on the user-interface thread.
  static const AccessibilityLibraries& Get();
  AccessibilityLibraries(const AccessibilityLibraries&) = delete;
  AccessibilityLibraries& operator=(const AccessibilityLibraries&) = delete;
  ~AccessibilityLibraries();

  bool Available() const { return available_; }
  // The answer to WM_GETOBJECT for an object, or 0.
  LRESULT ResultFromObject(REFIID iid, WPARAM wParam, IUnknown* object) const;
  // The system's own object of a window (its window frame or the client area of a system
  // control); null when there is none.
  IDispatch* WindowObject(HWND window, LONG objectId) const;
  HRESULT StandardObject(HWND window, LONG objectId, REFIID iid, void** object) const;
  // A BSTR of the GBK text, owned by the caller; null when out of memory.
  BSTR String(const std::string& gbk) const;

 private:
  AccessibilityLibraries();

  using LresultFromObjectFunction = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
  using StdObjectFunction = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
  using FromWindowFunction = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
  using AllocStringFunction = BSTR(WINAPI*)(const OLECHAR*, UINT);

  SystemLibrary ole32_{"ole32.dll"};
  SystemLibrary oleaut32_{"oleaut32.dll"};
  SystemLibrary oleacc_{"oleacc.dll"};
  LresultFromObjectFunction lresultFromObject_ = nullptr;
  StdObjectFunction createStdObject_ = nullptr;
  FromWindowFunction fromWindow_ = nullptr;
  AllocStringFunction allocString_ = nullptr;
  bool comInitialised_ = false;
  bool available_ = false;
};

// GBK bytes as UTF-16.
std::wstring WideFromGbk(const std::string& gbk);
