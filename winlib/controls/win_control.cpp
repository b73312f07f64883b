#include "winlib/controls/win_control.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "winlib/accessibility/accessible_named.h"
#include "winlib/controls/accessible_client.h"
#include "winlib/system/exception.h"
#include "winlib/system/guarded.h"
#include "winlib/system/window_messages.h"

namespace {

// The window property that leads from a window, of either kind, to its control.
const char kControlProperty[] = "ZembraControl";

// The message of a failed window creation, with the system's reason.
std::string CreationError() {
  return "Error creating window (system error " + std::to_string(GetLastError()) + ")";
}

}  // namespace

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  // Children that belong to other owners lose their parent with this window.
  while (!controls_.empty()) controls_.back()->SetParent(nullptr);
  DestroyHandle();
}

const char* TWinControl::WindowClassName() {
  static const char* name = [] {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &TWinControl::WindowProcedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    wc.lpszClassName = "ZembraWinControl";
    // Unregistered, every window of the class fails to be made, with the reason then.
    return RegisterClassExA(&wc) != 0 ? "ZembraWinControl" : nullptr;
  }();
  if (name == nullptr) throw Exception(CreationError());
  return name;
}

void TWinControl::CreateHandle(DWORD style, DWORD exStyle, HWND parent, const char* systemClass) {
  const bool ownClass = systemClass == nullptr;
  const HWND window = CreateWindowExA(exStyle, ownClass ? WindowClassName() : systemClass, "",
                                      style, Left(), Top(), Width(), Height(), parent, nullptr,
                                      GetModuleHandleA(nullptr), ownClass ? this : nullptr);
  if (window == nullptr) throw Exception(CreationError());
  handle_ = window;
  if (!ownClass) {
    // The system class's window reaches our procedure from now on, its own after ours.
    if (!SetPropA(window, kControlProperty, this)) {
      const std::string error = CreationError();
      DestroyHandle();
      throw Exception(error);
    }
    SetLastError(0);
    systemProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::WindowProcedure)));
    if (systemProc_ == nullptr) {
      const std::string error = CreationError();
      RemovePropA(window, kControlProperty);
      DestroyHandle();
      throw Exception(error);
    }
  }
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
}

void TWinControl::DestroyHandle() {
  // Child windows go with this one: their controls forget them first, so that none is
  // destroyed a second time.
  for (TControl* control : controls_) {
    if (auto* child = dynamic_cast<TWinControl*>(control)) child->DestroyHandle();
  }
  host_.WindowDestroying();
  if (handle_ != nullptr) DestroyWindow(handle_);  // WM_NCDESTROY clears handle_
  handle_ = nullptr;
}

TWinControl* TWinControl::FromHandle(HWND window) {
  return window != nullptr ? static_cast<TWinControl*>(GetPropA(window, kControlProperty))
                           : nullptr;
}

LRESULT CALLBACK TWinControl::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (message == WM_NCCREATE) {
    // Our own class: the control comes with the creation, before any message it handles.
    auto* created =
        static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    if (created != nullptr) {
      if (!SetPropA(window, kControlProperty, created)) return FALSE;
      created->handle_ = window;
    }
  }
  TWinControl* self = FromHandle(window);
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) return self->Detach(window, message, wParam, lParam);
  LRESULT result = 0;
  Guarded([&] { result = self->WndProc(message, wParam, lParam); });
  return result;
}

LRESULT TWinControl::Detach(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The window goes, also when its parent takes it along: the control forgets it.
  const WNDPROC systemProc = std::exchange(systemProc_, nullptr);
  if (systemProc != nullptr) {
    naming_.WindowDestroying(window);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(systemProc));
  }
  RemovePropA(window, kControlProperty);
  handle_ = nullptr;
  return systemProc != nullptr ? CallWindowProcA(systemProc, window, message, wParam, lParam)
                               : DefWindowProcA(window, message, wParam, lParam);
}

void TWinControl::ChildFocused(TControl* control) {
  if (Parent() != nullptr) Parent()->ChildFocused(control);
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
  return systemProc_ != nullptr ? CallWindowProcA(systemProc_, handle_, message, wParam, lParam)
                                : DefWindowProcA(handle_, message, wParam, lParam);
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OwnClass() && host_.OnMessage(message, wParam, lParam, &result)) return result;
  switch (message) {
    case WM_SETFOCUS:
      ChildFocused(this);
      break;
    case WM_GETOBJECT:
      // The screen readers' one door: our own window's client object with its windowless
      // controls, or a system control's own object under the name of its label.
      result = OwnClass() ? AnswerAccessibleClient(*this, wParam, lParam)
                          : naming_.Answer(handle_, AccessibleName(), wParam, lParam);
      if (result != 0) return result;
      break;
    case kAccessibleClick:
      if (OwnClass()) {
        ClickAccessibleChild(*this, static_cast<long>(wParam));
        return 0;
      }
      break;
    default:
      break;
  }
  return DefaultHandler(message, wParam, lParam);
}

std::string TWinControl::DefaultAccessibleName() const {
  for (int i = 0; Parent() != nullptr && i < Parent()->ControlCount(); ++i) {
    const std::string name = Parent()->Controls(i)->LabelFor(*this);
    if (!name.empty()) return name;
  }
  return std::string();
}

void TWinControl::SetColor(TColor color) {
  color_ = color;
  Invalidate();
}

void TWinControl::SetParent(TWinControl* parent) {
  TControl::SetParent(parent);
  if (handle_ == nullptr || !(GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD)) return;
  if (parent == nullptr) {
    // A child window cannot outlive its parent's: it goes now, not with the parent's window.
    DestroyHandle();
  } else if (parent->Handle() != nullptr) {
    ::SetParent(handle_, parent->Handle());
  }
}

void TWinControl::SetVisible(bool visible) {
  TControl::SetVisible(visible);
  if (handle_ != nullptr) ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::SetEnabled(bool enabled) {
  TControl::SetEnabled(enabled);
  if (handle_ != nullptr) EnableWindow(handle_, enabled);
}

// A window that is not on screen is painted whole when it shows: while a form is built, its
// controls' many changes need not each tell the system.
void TWinControl::Invalidate() {
  if (handle_ != nullptr && IsWindowVisible(handle_)) ::InvalidateRect(handle_, nullptr, FALSE);
}

void TWinControl::InvalidateRect(const RECT& rect) {
  if (handle_ != nullptr && IsWindowVisible(handle_)) ::InvalidateRect(handle_, &rect, FALSE);
}

void TWinControl::BoundsChanged() {
  if (handle_ != nullptr) {
    SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  AlignControls();
}

void TWinControl::AlignControls() {
  for (TControl* control : controls_) {
    if (control->Align() == alClient) control->SetBounds(0, 0, ClientWidth(), ClientHeight());
  }
}

bool TWinControl::SetProperty(const std::string& name, const std::string& value) {
  if (name == "Color") {
    SetColor(ColorFromText(value));
    return true;
  }
  // No 3-D borders in this library: the values are checked, not used.
  if (name == "Ctl3D" || name == "ParentCtl3D") {
    BoolFromText(name, value);
    return true;
  }
  return TControl::SetProperty(name, value);
}

bool TWinControl::CanFocus() const {
  for (const TWinControl* c = this; c != nullptr; c = c->Parent()) {
    if (c->handle_ == nullptr || !c->Visible() || !c->Enabled()) return false;
  }
  return true;
}

void TWinControl::SetFocus() {
  if (handle_ != nullptr) ::SetFocus(handle_);
}

void TWinControl::FocusWindowless(TControl* control) {
  // Remembered first: the window's own answer to gaining the focus gives it on to this one.
  ChildFocused(control);
  host_.SetFocused(control);
  if (GetFocus() != handle_) ::SetFocus(handle_);
}

void TWinControl::GetTabOrderList(std::vector<TControl*>& list) const {
  std::vector<TControl*> children;
  for (TControl* control : controls_) {
    if (!control->IsGraphic() || control->TabStop()) children.push_back(control);
  }
  std::stable_sort(children.begin(), children.end(),
                   [](TControl* a, TControl* b) { return a->TabOrder() < b->TabOrder(); });
  for (TControl* child : children) {
    list.push_back(child);
    if (auto* windowed = dynamic_cast<TWinControl*>(child)) windowed->GetTabOrderList(list);
  }
}

void TWinControl::InsertControl(TControl* control) {
  if (!control->IsGraphic() && control->TabOrder() < 0) {
    // A windowed control placed without a stored tab order comes after its windowed siblings.
    int last = -1;
    for (TControl* sibling : controls_) {
      if (!sibling->IsGraphic()) last = std::max(last, sibling->TabOrder());
    }
    control->SetTabOrder(last + 1);
  }
  controls_.push_back(control);
  ChildChanged(control);
}

void TWinControl::RemoveControl(TControl* control) {
  host_.ControlRemoved(control);
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

void TWinControl::ChildChanged(TControl* control) {
  host_.ControlChanged(control);
}
