#include "winlib/accessibility/accessible_named.h"

#include <oleacc.h>

#include <new>
#include <utility>

#include "winlib/accessibility/accessible_object.h"
#include "winlib/accessibility/oleacc.h"
#include "winlib/system/physical_points.h"
#include "winlib/system/scoped.h"

namespace {

// {608D3DF8-8128-4AA7-A428-F55E49267291}: the name, as annotation knows it.
const MSAAPROPID kPropIdName = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
// The system's objects of a window that go by its name.
const LONG kNamedObjects[] = {OBJID_CLIENT, OBJID_WINDOW};

// Annotates the window's objects with the name; false, with nothing left annotated, when the
// service refuses.
bool Annotate(IAccPropServices& services, HWND window, const std::wstring& name) {
  for (const LONG object : kNamedObjects) {
    if (FAILED(services.SetHwndPropStr(window, static_cast<DWORD>(object), CHILDID_SELF,
                                       kPropIdName, name.c_str()))) {
      for (const LONG set : kNamedObjects) {
        services.ClearHwndProps(window, static_cast<DWORD>(set), CHILDID_SELF, &kPropIdName, 1);
      }
      return false;
    }
  }
  return true;
}

// The screen's physical pixels of a rectangle that the system's object, made in this scaled
// program, gives in its logical ones.
void ToPhysical(HWND window, long* left, long* top, long* width, long* height) {
  const POINT from = LogicalToPhysical(window, POINT{*left, *top});
  const POINT to = LogicalToPhysical(window, POINT{*left + *width, *top + *height});
  *left = from.x;
  *top = from.y;
  *width = to.x - from.x;
  *height = to.y - from.y;
}

// Answers as the system's object of the control's client area, but for the control's own name
// and for positions in the screen's physical pixels (the system's object is made here, in a
// program that Windows scales). It is an object of its own: it answers for IUnknown, IDispatch
// and IAccessible itself and for nothing else, so that it never passes for the system's.
class NamedAccessible final : public AccessibleObject {
 public:
  NamedAccessible(HWND window, IAccessible* inner, std::string name)
      : window_(window), inner_(inner), name_(std::move(name)) {}
  ~NamedAccessible() override { inner_->Release(); }
  NamedAccessible(const NamedAccessible&) = delete;
  NamedAccessible& operator=(const NamedAccessible&) = delete;

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (name == nullptr) return E_POINTER;
    if (!IsSelf(child)) return inner_->get_accName(child, name);
    *name = nullptr;
    return Shielded([&] {
      *name = AccessibilityLibraries::Get().String(name_);
      return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    });
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override {
    const HRESULT result = inner_->accLocation(left, top, width, height, child);
    if (result == S_OK) ToPhysical(window_, left, top, width, height);
    return result;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
    const POINT logical = PhysicalToLogical(window_, POINT{x, y});
    return inner_->accHitTest(logical.x, logical.y, hit);
  }

  // IDispatch: the name is this object's, asked through Invoke too.
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argument) override {
    if (id != DISPID_ACC_NAME || !(flags & DISPATCH_PROPERTYGET) || parameters == nullptr ||
        parameters->cArgs > 1 || result == nullptr) {
      return inner_->Invoke(id, iid, locale, flags, parameters, result, exception, argument);
    }
    VARIANT self;
    self.vt = VT_EMPTY;
    BSTR name = nullptr;
    const HRESULT got = get_accName(parameters->cArgs == 1 ? parameters->rgvarg[0] : self, &name);
    if (FAILED(got)) return got;
    result->vt = VT_BSTR;
    result->bstrVal = name;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return inner_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return inner_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    return inner_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return inner_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    return inner_->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    return inner_->get_accChild(child, object);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return inner_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return inner_->get_accDescription(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    return inner_->get_accRole(child, role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return inner_->get_accState(child, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return inner_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return inner_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    return inner_->get_accKeyboardShortcut(child, keys);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    return inner_->get_accFocus(focus);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    return inner_->get_accSelection(selection);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return inner_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    return inner_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    return inner_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return inner_->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return inner_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return inner_->put_accValue(child, value);
  }

 private:
  HWND window_;
  IAccessible* inner_;  // owned: one reference
  std::string name_;
};

}  // namespace

LRESULT AccessibleNaming::Answer(HWND window, const std::string& name, WPARAM wParam,
                                 LPARAM lParam) {
  const AccessibilityLibraries& libraries = AccessibilityLibraries::Get();
  if (name.empty() || !libraries.Available()) return 0;
  if (state_ == State::kNotYet) {
    ComPtr<IAccPropServices> services;
    *services.Put() = libraries.PropServices();
    state_ = services && Annotate(*services.Get(), window, WideFromGbk(name)) ? State::kAnnotated
                                                                              : State::kUnavailable;
  }
  if (state_ == State::kAnnotated || static_cast<LONG>(lParam) != OBJID_CLIENT) return 0;
  IAccessible* inner = nullptr;
  if (FAILED(libraries.StandardObject(window, OBJID_CLIENT, kIidAccessible,
                                      reinterpret_cast<void**>(&inner))) ||
      inner == nullptr) {
    return 0;
  }
  auto* named = new (std::nothrow) NamedAccessible(window, inner, name);
  if (named == nullptr) {
    inner->Release();
    return 0;
  }
  const LRESULT result = libraries.ResultFromObject(kIidAccessible, wParam, named);
  named->Release();
  return result;
}

void AccessibleNaming::WindowDestroying(HWND window) {
  if (state_ != State::kAnnotated) return;
  state_ = State::kNotYet;
  ComPtr<IAccPropServices> services;
  *services.Put() = AccessibilityLibraries::Get().PropServices();
  if (!services) return;
  for (const LONG object : kNamedObjects) {
    services->ClearHwndProps(window, static_cast<DWORD>(object), CHILDID_SELF, &kPropIdName, 1);
  }
}
