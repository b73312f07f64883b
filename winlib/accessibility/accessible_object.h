// What every object of ours that screen readers get has: its count of references and the
// interfaces it answers for (IUnknown, IDispatch, IAccessible; others as it says).
#pragma once

#include <windows.h>

#include <oleacc.h>

// IAccessible's interface identifier, defined here once: the one of mingw's liboleacc.a can be
// wrong when it is linked before libuuid.
extern const IID kIidAccessible;

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
