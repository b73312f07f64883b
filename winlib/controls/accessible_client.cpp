#include "winlib/controls/accessible_client.h"

#include <oleacc.h>

#include <algorithm>
#include <new>
#include <string>
#include <utility>

#include "winlib/accessibility/accessible_object.h"
#include "winlib/accessibility/oleacc.h"
#include "winlib/controls/win_control.h"
#include "winlib/system/physical_points.h"
#include "winlib/system/window_messages.h"

namespace {

// The names of the default actions of a push button and a link, as Windows' own objects give
// them on a Chinese system (oleacc's "按下" and "跳转"): a reader says of our buttons and links
// what it says of the system's, in the language of the window it reads.
const char kPressAction[] = "按下";
const char kJumpAction[] = "跳转";
// The keys that press the default and the cancel control, by the names Windows gives them.
const char kDefaultKey[] = "Enter";
const char kCancelKey[] = "Esc";

bool IsWindowed(const TControl* control) {
  return !control->IsGraphic();
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

// What an out-parameter holds until a method has found its answer.
void Clear(VARIANT* v) {
  *v = EmptyVariant();
}
void Clear(BSTR* text) {
  *text = nullptr;
}
void Clear(IDispatch** object) {
  *object = nullptr;
}
void Clear(long* number) {
  *number = 0;
}

// The window and its top-level window take input: a modal box disables the form it belongs
// to, which does not touch its controls' own flags.
bool TakesInput(HWND window) {
  return IsWindowEnabled(window) && IsWindowEnabled(GetAncestor(window, GA_ROOT));
}

// A windowless button or link of a window that can be pressed now.
bool Clickable(HWND window, const TControl& control) {
  const TAccessibleRole role = control.AccessibleRole();
  return (role == arButton || role == arLink) && control.Visible() && control.Enabled() &&
         TakesInput(window);
}

// The top-level control that a window lies in (its form), or none.
const TWinControl* TopControl(HWND window) {
  return TWinControl::FromHandle(GetAncestor(window, GA_ROOT));
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
    return Answered(parent, [&] {
      *parent = Window() != nullptr ? Libraries().WindowObject(window_, OBJID_WINDOW) : nullptr;
      return *parent != nullptr ? S_OK : S_FALSE;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    return Answered(count, [&] {
      const TWinControl* window = Window();
      if (window == nullptr) return CO_E_OBJNOTCONNECTED;
      *count = static_cast<long>(AccessibleChildren(*window).size());
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    return ForChild(child, object, [&](const TControl* control) -> HRESULT {
      if (control == nullptr) return E_INVALIDARG;
      if (!IsWindowed(control)) return S_FALSE;  // a simple element
      *object = WindowObjectOf(*control);
      return *object != nullptr ? S_OK : S_FALSE;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    return Text(child, name, [&](const TControl* control) {
      return control != nullptr ? control->AccessibleName() : Window()->AccessibleName();
    });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override { return Nothing(value); }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override {
    return Nothing(text);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    return ForChild(child, role, [&](const TControl* control) {
      *role = ChildVariant(control == nullptr ? ROLE_SYSTEM_CLIENT : RoleOf(*control));
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return ForChild(child, state, [&](const TControl* control) {
      *state = ChildVariant(control == nullptr ? WindowState() : StateOf(*control));
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override { return Nothing(help); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    if (topic != nullptr) *topic = 0;
    return Nothing(file);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    return ForChild(child, keys, [&](const TControl* control) {
      const TWinControl* top = TopControl(window_);
      const char* key = nullptr;
      if (control != nullptr && top != nullptr) {
        if (control == top->CancelControl()) key = kCancelKey;
        if (control == top->DefaultControl()) key = kDefaultKey;  // Enter first
      }
      if (key == nullptr) return DISP_E_MEMBERNOTFOUND;
      *keys = Libraries().String(key);
      return *keys != nullptr ? S_OK : E_OUTOFMEMORY;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    return Answered(focus, [&] {
      const TWinControl* window = Window();
      if (window == nullptr) return CO_E_OBJNOTCONNECTED;
      // The thread keeps its focus while another program is in front; the keyboard's is
      // there, not here.
      if (GetForegroundWindow() != GetAncestor(window_, GA_ROOT)) return S_FALSE;
      const HWND focused = GetFocus();
      if (focused == window_) {
        *focus = ChildVariant(AccessibleChildId(*window, window->FocusedWindowless()));
        return S_OK;
      }
      for (const TControl* control : AccessibleChildren(*window)) {
        const HWND child =
            IsWindowed(control) ? static_cast<const TWinControl*>(control)->Handle() : nullptr;
        if (child != nullptr && (child == focused || IsChild(child, focused))) {
          *focus = Element(control, 0);
          return focus->vt == VT_EMPTY ? S_FALSE : S_OK;
        }
      }
      return S_FALSE;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (selection == nullptr) return E_POINTER;
    *selection = EmptyVariant();
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return ForChild(child, action, [&](const TControl* control) {
      if (control == nullptr || !Clickable(window_, *control)) return DISP_E_MEMBERNOTFOUND;
      *action =
          Libraries().String(control->AccessibleRole() == arLink ? kJumpAction : kPressAction);
      return *action != nullptr ? S_OK : E_OUTOFMEMORY;
    });
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    return ForChild(child, [&](TControl* control) {
      if (control == nullptr || IsWindowed(control) || flags != SELFLAG_TAKEFOCUS) {
        return DISP_E_MEMBERNOTFOUND;
      }
      if (!control->TabStop() || !control->CanFocus() || !TakesInput(window_)) return S_FALSE;
      control->SetFocus();
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
      return E_POINTER;
    }
    *left = *top = *width = *height = 0;
    return ForChild(child, [&](const TControl* control) {
      RECT r;
      if (control != nullptr) {
        r = control->BoundsRect();
      } else if (!GetClientRect(window_, &r)) {
        return E_FAIL;
      }
      POINT from = {r.left, r.top}, to = {r.right, r.bottom};
      if (!ClientToScreen(window_, &from) || !ClientToScreen(window_, &to)) return E_FAIL;
      // Screen readers take the screen's physical pixels.
      from = LogicalToPhysical(window_, from);
      to = LogicalToPhysical(window_, to);
      *left = from.x;
      *top = from.y;
      *width = to.x - from.x;
      *height = to.y - from.y;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    return ForChild(start, end, [&](const TControl* from) {
      const std::vector<TControl*> children = AccessibleChildren(*Window());
      const long count = static_cast<long>(children.size());
      const long at = from != nullptr ? start.lVal : 0;
      long to = 0;
      if (from == nullptr && direction == NAVDIR_FIRSTCHILD) to = count > 0 ? 1 : 0;
      if (from == nullptr && direction == NAVDIR_LASTCHILD) to = count;
      if (from != nullptr && direction == NAVDIR_NEXT) to = at < count ? at + 1 : 0;
      if (from != nullptr && direction == NAVDIR_PREVIOUS) to = at > 1 ? at - 1 : 0;
      if (to == 0) return S_FALSE;
      *end = Element(children[static_cast<std::size_t>(to - 1)], to);
      return end->vt == VT_EMPTY ? S_FALSE : S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
    return Answered(hit, [&] { return HitTest(POINT{x, y}, hit); });
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return ForChild(child, [&](const TControl* control) {
      if (control == nullptr || !Clickable(window_, *control)) return DISP_E_MEMBERNOTFOUND;
      // Posted: the click opens a modal box, and a screen reader must not wait for it.
      return PostMessageA(window_, kAccessibleClick, static_cast<WPARAM>(child.lVal), 0) ? S_OK
                                                                                         : E_FAIL;
    });
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  // The child at a point of the screen, in physical pixels.
  HRESULT HitTest(POINT physical, VARIANT* hit) const {
    const TWinControl* window = Window();
    if (window == nullptr) return CO_E_OBJNOTCONNECTED;
    POINT p = PhysicalToLogical(window_, physical);
    RECT client;
    if (!ScreenToClient(window_, &p) || !GetClientRect(window_, &client) || !PtInRect(&client, p)) {
      return S_FALSE;
    }
    // Child windows lie over the windowless controls; later controls over earlier ones.
    const TControl* found = nullptr;
    for (int i = window->ControlCount() - 1; i >= 0 && found == nullptr; --i) {
      const TControl* control = window->Controls(i);
      const RECT bounds = control->BoundsRect();
      if (IsWindowed(control) && control->Visible() && PtInRect(&bounds, p)) found = control;
    }
    for (int i = window->ControlCount() - 1; i >= 0 && found == nullptr; --i) {
      const TControl* control = window->Controls(i);
      const RECT bounds = control->BoundsRect();
      if (!IsWindowed(control) && control->Visible() && control->AccessibleRole() != arNone &&
          PtInRect(&bounds, p)) {
        found = control;
      }
    }
    *hit = found != nullptr ? Element(found, AccessibleChildId(*window, found))
                            : ChildVariant(CHILDID_SELF);
    return S_OK;
  }

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
    if (IsSelf(child)) return nullptr;
    if (child.vt != VT_I4) {
      *error = E_INVALIDARG;
      return nullptr;
    }
    const std::vector<TControl*> children = AccessibleChildren(*window);
    if (child.lVal < 1 || child.lVal > static_cast<long>(children.size())) {
      *error = E_INVALIDARG;
      return nullptr;
    }
    return children[static_cast<std::size_t>(child.lVal - 1)];
  }

  // What the methods about one child share: the child looked up (none for the window itself),
  // and the failure of a bad id or a window that has gone; then the method's own work.
  template <class Work>
  HRESULT ForChild(const VARIANT& child, Work&& work) const {
    return Shielded([&] {
      HRESULT error = S_OK;
      TControl* control = Child(child, &error);
      return FAILED(error) ? error : work(control);
    });
  }
  // The same for a method with one answer, which is emptied first.
  template <class Out, class Work>
  HRESULT ForChild(const VARIANT& child, Out* out, Work&& work) const {
    return Answered(out, [&] { return ForChild(child, work); });
  }
  // A method's one answer emptied, then its work shielded.
  template <class Out, class Work>
  static HRESULT Answered(Out* out, Work&& work) {
    if (out == nullptr) return E_POINTER;
    Clear(out);
    return Shielded(std::forward<Work>(work));
  }

  // A child window's own object, from the system.
  static IDispatch* WindowObjectOf(const TControl& control) {
    return Libraries().WindowObject(static_cast<const TWinControl&>(control).Handle(),
                                    OBJID_WINDOW);
  }

  // A child as navigation and hit tests give it: a windowless one by its id, a window by its
  // object.
  static VARIANT Element(const TControl* control, long id) {
    if (!IsWindowed(control)) return ChildVariant(id);
    VARIANT v;
    v.vt = VT_DISPATCH;
    v.pdispVal = WindowObjectOf(*control);
    return v.pdispVal != nullptr ? v : EmptyVariant();
  }

  // A text of the window (no control) or of a windowless control; a child window's is its
  // own object's to tell.
  template <class Of>
  HRESULT Text(const VARIANT& child, BSTR* text, Of of) const {
    return ForChild(child, text, [&](const TControl* control) {
      if (control != nullptr && IsWindowed(control)) return S_FALSE;
      const std::string value = of(control);
      if (value.empty()) return S_FALSE;
      *text = Libraries().String(value);
      return *text != nullptr ? S_OK : E_OUTOFMEMORY;
    });
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

  long WindowState() const {
    // A form takes the focus (and hands it on); a window inside it only as a tab stop.
    const TWinControl* window = Window();
    long state = window->Parent() == nullptr || window->TabStop() ? STATE_SYSTEM_FOCUSABLE : 0;
    if (!IsWindowVisible(window_)) state |= STATE_SYSTEM_INVISIBLE;
    if (!TakesInput(window_)) state |= STATE_SYSTEM_UNAVAILABLE;
    if (GetFocus() == window_) state |= STATE_SYSTEM_FOCUSED;
    return state;
  }

  long StateOf(const TControl& control) const {
    long state = 0;
    const TAccessibleRole role = control.AccessibleRole();
    if (!control.Visible() || !IsWindowVisible(window_)) state |= STATE_SYSTEM_INVISIBLE;
    const bool available = control.Enabled() && TakesInput(window_);
    if (!available) state |= STATE_SYSTEM_UNAVAILABLE;
    if (role == arText) state |= STATE_SYSTEM_READONLY;
    if (role == arLink) state |= STATE_SYSTEM_LINKED;
    if (available && control.TabStop() && control.CanFocus()) state |= STATE_SYSTEM_FOCUSABLE;
    const TWinControl* top = TopControl(window_);
    if (top != nullptr && top->DefaultControl() == &control) state |= STATE_SYSTEM_DEFAULT;
    if (control.Focused()) state |= STATE_SYSTEM_FOCUSED;
    POINT p;
    const RECT bounds = control.BoundsRect();
    if (GetCursorPos(&p) && WindowFromPoint(p) == window_ && ScreenToClient(window_, &p) &&
        control.Visible() && PtInRect(&bounds, p)) {
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
  auto* client = new (std::nothrow) AccessibleClient(window.Handle());
  if (client == nullptr) return 0;
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
  // Asked again now that it comes: a box may have opened since it was posted.
  TControl* control = children[static_cast<std::size_t>(childId - 1)];
  if (Clickable(window.Handle(), *control)) control->Click();
}
