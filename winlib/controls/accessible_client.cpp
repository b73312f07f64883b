#include "winlib/controls/accessible_client.h"

#include <oleacc.h>

#include <algorithm>
#include <string>

#include "winlib/accessibility/accessible_object.h"
#include "winlib/accessibility/oleacc.h"
#include "winlib/controls/win_control.h"
#include "winlib/system/window_messages.h"

namespace {

bool IsWindowed(const TControl* control) {
  return !control->IsGraphic();
}

bool Contains(const RECT& r, POINT p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

VARIANT ChildVariant(long id) {
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

VARIANT EmptyVariant() {
  VARIANT v;
  v.vt = VT_EMPTY;
  return v;
}

// The window's client object. It holds the window's handle, not the control: a screen reader
// may keep the object after the window has gone, and then learns that it has.
class AccessibleClient final : public AccessibleObject {
 public:
  explicit AccessibleClient(HWND window) : window_(window) {}

  // IDispatch: screen readers call the interface itself.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (parent == nullptr) return E_POINTER;
    *parent = Window() != nullptr ? Libraries().WindowObject(window_, OBJID_WINDOW) : nullptr;
    return *parent != nullptr ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (count == nullptr) return E_POINTER;
    const TWinControl* window = Window();
    if (window == nullptr) return CO_E_OBJNOTCONNECTED;
    *count = static_cast<long>(AccessibleChildren(*window).size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    HRESULT error = S_OK;
    const TControl* control = Child(child, &error);
    if (control == nullptr) return error == S_OK ? E_INVALIDARG : error;
    if (!IsWindowed(control)) return S_FALSE;  // a simple element
    *object =
        Libraries().WindowObject(static_cast<const TWinControl*>(control)->Handle(), OBJID_WINDOW);
    return *object != nullptr ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    return Text(
        child, name, [](const TWinControl& window) { return window.AccessibleName(); },
        [](const TControl& control) { return control.AccessibleName(); });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override { return Nothing(value); }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override {
    return Nothing(text);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (role == nullptr) return E_POINTER;
    *role = EmptyVariant();
    HRESULT error = S_OK;
    const TControl* control = Child(child, &error);
    if (FAILED(error)) return error;
    *role = ChildVariant(control == nullptr ? ROLE_SYSTEM_CLIENT : RoleOf(*control));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (state == nullptr) return E_POINTER;
    *state = EmptyVariant();
    HRESULT error = S_OK;
    const TControl* control = Child(child, &error);
    if (FAILED(error)) return error;
    *state = ChildVariant(control == nullptr ? WindowState() : StateOf(*control));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override { return Nothing(help); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    if (topic != nullptr) *topic = 0;
    return Nothing(file);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* keys) override {
    return Nothing(keys);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (focus == nullptr) return E_POINTER;
    *focus = EmptyVariant();
    const TWinControl* window = Window();
    if (window == nullptr) return CO_E_OBJNOTCONNECTED;
    const HWND focused = GetFocus();
    if (focused == window_) {
      *focus = ChildVariant(AccessibleChildId(*window, window->FocusedWindowless()));
      return S_OK;
    }
    for (const TControl* control : AccessibleChildren(*window)) {
      const HWND child =
          IsWindowed(control) ? static_cast<const TWinControl*>(control)->Handle() : nullptr;
      if (child != nullptr && (child == focused || IsChild(child, focused))) {
        focus->vt = VT_DISPATCH;
        focus->pdispVal = Libraries().WindowObject(child, OBJID_WINDOW);
        if (focus->pdispVal == nullptr) *focus = EmptyVariant();
        return focus->vt == VT_EMPTY ? S_FALSE : S_OK;
      }
    }
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (selection == nullptr) return E_POINTER;
    *selection = EmptyVariant();
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (action == nullptr) return E_POINTER;
    *action = nullptr;
    HRESULT error = S_OK;
    const TControl* control = Child(child, &error);
    if (FAILED(error)) return error;
    if (control == nullptr || !Clickable(*control)) return DISP_E_MEMBERNOTFOUND;
    *action = Libraries().String(control->AccessibleRole() == arLink ? "跳转" : "按下");
    return *action != nullptr ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    HRESULT error = S_OK;
    TControl* control = Child(child, &error);
    if (FAILED(error)) return error;
    if (control == nullptr || IsWindowed(control) || flags != SELFLAG_TAKEFOCUS) {
      return DISP_E_MEMBERNOTFOUND;
    }
    if (!control->TabStop() || !control->CanFocus()) return S_FALSE;
    control->SetFocus();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
      return E_POINTER;
    }
    *left = *top = *width = *height = 0;
    HRESULT error = S_OK;
    const TControl* control = Child(child, &error);
    if (FAILED(error)) return error;
    RECT r;
    if (control != nullptr) {
      r = control->BoundsRect();
    } else if (!GetClientRect(window_, &r)) {
      return E_FAIL;
    }
    POINT origin = {r.left, r.top};
    if (!ClientToScreen(window_, &origin)) return E_FAIL;
    *left = origin.x;
    *top = origin.y;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    if (end == nullptr) return E_POINTER;
    *end = EmptyVariant();
    const TWinControl* window = Window();
    if (window == nullptr) return CO_E_OBJNOTCONNECTED;
    HRESULT error = S_OK;
    const TControl* from = Child(start, &error);
    if (FAILED(error)) return error;
    const std::vector<TControl*> children = AccessibleChildren(*window);
    long to = 0;
    const long count = static_cast<long>(children.size());
    const long at = from != nullptr ? AccessibleChildId(*window, from) : 0;
    if (from == nullptr && direction == NAVDIR_FIRSTCHILD) to = count > 0 ? 1 : 0;
    if (from == nullptr && direction == NAVDIR_LASTCHILD) to = count;
    if (from != nullptr && direction == NAVDIR_NEXT) to = at < count ? at + 1 : 0;
    if (from != nullptr && direction == NAVDIR_PREVIOUS) to = at > 1 ? at - 1 : 0;
    if (to == 0) return S_FALSE;
    *end = Element(*window, children[static_cast<std::size_t>(to - 1)], to);
    return end->vt == VT_EMPTY ? S_FALSE : S_OK;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
    if (hit == nullptr) return E_POINTER;
    *hit = EmptyVariant();
    const TWinControl* window = Window();
    if (window == nullptr) return CO_E_OBJNOTCONNECTED;
    POINT p = {x, y};
    RECT client;
    if (!ScreenToClient(window_, &p) || !GetClientRect(window_, &client) || !Contains(client, p)) {
      return S_FALSE;
    }
    // Child windows lie over the windowless controls; later controls over earlier ones.
    const std::vector<TControl*> children = AccessibleChildren(*window);
    const TControl* found = nullptr;
    for (int i = window->ControlCount() - 1; i >= 0 && found == nullptr; --i) {
      const TControl* control = window->Controls(i);
      if (IsWindowed(control) && control->Visible() && Contains(control->BoundsRect(), p)) {
        found = control;
      }
    }
    for (int i = window->ControlCount() - 1; i >= 0 && found == nullptr; --i) {
      const TControl* control = window->Controls(i);
      if (!IsWindowed(control) && control->Visible() && control->AccessibleRole() != arNone &&
          Contains(control->BoundsRect(), p)) {
        found = control;
      }
    }
    *hit = found != nullptr ? Element(*window, found, AccessibleChildId(*window, found))
                            : ChildVariant(CHILDID_SELF);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    HRESULT error = S_OK;
    const TControl* control = Child(child, &error);
    if (FAILED(error)) return error;
    if (control == nullptr || !Clickable(*control)) return DISP_E_MEMBERNOTFOUND;
    // Posted: the click opens a modal box, and a screen reader must not wait for it.
    const long id = AccessibleChildId(*Window(), control);
    return PostMessageA(window_, kAccessibleClick, static_cast<WPARAM>(id), 0) ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  static const AccessibilityLibraries& Libraries() { return AccessibilityLibraries::Get(); }

  TWinControl* Window() const {
    return IsWindow(window_) ? TWinControl::FromHandle(window_) : nullptr;
  }

  // The child that a VARIANT names: none for the window itself, with *error set for an id
  // that names nothing or a window that has gone.
  TControl* Child(const VARIANT& child, HRESULT* error) const {
    *error = S_OK;
    const TWinControl* window = Window();
    if (window == nullptr) {
      *error = CO_E_OBJNOTCONNECTED;
      return nullptr;
    }
    if (child.vt != VT_I4) {
      *error = E_INVALIDARG;
      return nullptr;
    }
    if (child.lVal == CHILDID_SELF) return nullptr;
    const std::vector<TControl*> children = AccessibleChildren(*window);
    if (child.lVal < 1 || child.lVal > static_cast<long>(children.size())) {
      *error = E_INVALIDARG;
      return nullptr;
    }
    return children[static_cast<std::size_t>(child.lVal - 1)];
  }

  // A child as navigation and hit tests give it: a windowless one by its id, a window by its
  // object.
  static VARIANT Element(const TWinControl&, const TControl* control, long id) {
    if (!IsWindowed(control)) return ChildVariant(id);
    VARIANT v;
    v.vt = VT_DISPATCH;
    v.pdispVal =
        Libraries().WindowObject(static_cast<const TWinControl*>(control)->Handle(), OBJID_WINDOW);
    return v.pdispVal != nullptr ? v : EmptyVariant();
  }

  template <class OfWindow, class OfControl>
  HRESULT Text(const VARIANT& child, BSTR* text, OfWindow ofWindow, OfControl ofControl) const {
    if (text == nullptr) return E_POINTER;
    *text = nullptr;
    HRESULT error = S_OK;
    const TControl* control = Child(child, &error);
    if (FAILED(error)) return error;
    if (control != nullptr && IsWindowed(control)) return S_FALSE;  // its own object tells
    const std::string value = control != nullptr ? ofControl(*control) : ofWindow(*Window());
    if (value.empty()) return S_FALSE;
    *text = Libraries().String(value);
    return *text != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  static HRESULT Nothing(BSTR* text) {
    if (text == nullptr) return E_POINTER;
    *text = nullptr;
    return DISP_E_MEMBERNOTFOUND;
  }

  static long RoleOf(const TControl& control) {
    switch (control.AccessibleRole()) {
      case arButton:
        return ROLE_SYSTEM_PUSHBUTTON;
      case arLink:
        return ROLE_SYSTEM_LINK;
      case arText:
        return ROLE_SYSTEM_STATICTEXT;
      default:
        return ROLE_SYSTEM_WINDOW;  // a child window
    }
  }

  static bool Clickable(const TControl& control) {
    const TAccessibleRole role = control.AccessibleRole();
    return (role == arButton || role == arLink) && control.Visible() && control.Enabled();
  }

  long WindowState() const {
    long state = STATE_SYSTEM_FOCUSABLE;
    if (!IsWindowVisible(window_)) state |= STATE_SYSTEM_INVISIBLE;
    if (GetFocus() == window_) state |= STATE_SYSTEM_FOCUSED;
    return state;
  }

  long StateOf(const TControl& control) const {
    long state = 0;
    const TAccessibleRole role = control.AccessibleRole();
    if (!control.Visible() || !IsWindowVisible(window_)) state |= STATE_SYSTEM_INVISIBLE;
    if (!control.Enabled()) state |= STATE_SYSTEM_UNAVAILABLE;
    if (role == arText) state |= STATE_SYSTEM_READONLY;
    if (role == arLink) state |= STATE_SYSTEM_LINKED;
    if (control.TabStop() && control.CanFocus()) state |= STATE_SYSTEM_FOCUSABLE;
    if (control.Focused()) state |= STATE_SYSTEM_FOCUSED;
    POINT p;
    if (GetCursorPos(&p) && WindowFromPoint(p) == window_ && ScreenToClient(window_, &p) &&
        control.Visible() && Contains(control.BoundsRect(), p)) {
      state |= STATE_SYSTEM_HOTTRACKED;
    }
    return state;
  }

  HWND window_;
};

}  // namespace

LRESULT AnswerAccessibleClient(TWinControl& window, WPARAM wParam, LPARAM lParam) {
  if (static_cast<LONG>(lParam) != OBJID_CLIENT) return 0;
  const AccessibilityLibraries& libraries = AccessibilityLibraries::Get();
  if (!libraries.Available()) return 0;
  auto* client = new AccessibleClient(window.Handle());
  const LRESULT result = libraries.ResultFromObject(kIidAccessible, wParam, client);
  client->Release();  // the result holds its own reference
  return result;
}

std::vector<TControl*> AccessibleChildren(const TWinControl& window) {
  std::vector<TControl*> children;
  for (int i = 0; i < window.ControlCount(); ++i) {
    TControl* control = window.Controls(i);
    const bool windowed =
        IsWindowed(control) && static_cast<const TWinControl*>(control)->Handle() != nullptr;
    if (windowed || control->AccessibleRole() != arNone) children.push_back(control);
  }
  std::stable_sort(children.begin(), children.end(), [](const TControl* a, const TControl* b) {
    return a->Top() != b->Top() ? a->Top() < b->Top() : a->Left() < b->Left();
  });
  return children;
}

long AccessibleChildId(const TWinControl& window, const TControl* control) {
  if (control == nullptr) return 0;
  const std::vector<TControl*> children = AccessibleChildren(window);
  const auto at = std::find(children.begin(), children.end(), control);
  return at == children.end() ? 0 : static_cast<long>(at - children.begin()) + 1;
}

void ClickAccessibleChild(TWinControl& window, long childId) {
  const std::vector<TControl*> children = AccessibleChildren(window);
  if (childId < 1 || childId > static_cast<long>(children.size())) return;
  TControl* control = children[static_cast<std::size_t>(childId - 1)];
  const TAccessibleRole role = control->AccessibleRole();
  if ((role == arButton || role == arLink) && control->Visible() && control->Enabled()) {
    control->Click();
  }
}
