// What every object of ours that screen readers get has: its count of references and the
// interfaces it answers for (IUnknown, IDispatch, IAccessible; others as it says).
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <new>

// IAccessible's interface identifier, defined here once: the one of mingw's liboleacc.a can be
// wrong when it is linked before libuuid.
extern const IID kIidAccessible;

// Runs the work of a method that a screen reader calls: nothing may unwind through COM's frames,
// so what it raises becomes a failure (E_OUTOFMEMORY for memory, else E_FAIL).
template <class Work>
HRESULT Shielded(Work&& work) noexcept {
  try {
    return work();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

// A child id as screen readers pass it: VT_EMPTY, as oleacc's own objects take it, stands for
// the object itself.
inline bool IsSelf(const VARIANT& child) {
  return child.vt == VT_EMPTY || (child.vt == VT_I4 && child.lVal == CHILDID_SELF);
}

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
