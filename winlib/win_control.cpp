#include "winlib/win_control.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "winlib/application.h"
#include "winlib/exception.h"
#include "winlib/gdi.h"
#include "winlib/tooltip.h"

namespace {

TShiftState ShiftFromKeys(WPARAM keys) {
  TShiftState shift = 0;
  if (keys & MK_SHIFT) shift |= ssShift;
  if (keys & MK_CONTROL) shift |= ssCtrl;
  if (keys & MK_LBUTTON) shift |= ssLeft;
  if (keys & MK_RBUTTON) shift |= ssRight;
  if (keys & MK_MBUTTON) shift |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

bool Contains(const RECT& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// The window property that leads from a subclassed system window to its control.
const char kControlProperty[] = "ZembraControl";

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
    wc.lpfnWndProc = &TWinControl::StaticWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    wc.lpszClassName = "ZembraWinControl";
    RegisterClassExA(&wc);
    return "ZembraWinControl";
  }();
  return name;
}

void TWinControl::CreateHandle(DWORD style, DWORD exStyle, HWND parent, const char* systemClass) {
  ownClass_ = systemClass == nullptr;
  const HWND window = CreateWindowExA(exStyle, ownClass_ ? WindowClassName() : systemClass, "",
                                      style, Left(), Top(), Width(), Height(), parent, nullptr,
                                      GetModuleHandleA(nullptr), ownClass_ ? this : nullptr);
  if (window == nullptr) throw Exception("Error creating window");
  handle_ = window;
  if (!ownClass_) {
    if (!SetPropA(window, kControlProperty, this)) {
      DestroyHandle();
      throw Exception("Error creating window");
    }
    systemProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::SystemClassProc)));
    if (systemProc_ == nullptr) {
      RemovePropA(window, kControlProperty);
      DestroyHandle();
      throw Exception("Error creating window");
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
  if (tooltip_ != nullptr) {
    DestroyWindow(tooltip_);
    tooltip_ = nullptr;
  }
  if (handle_ != nullptr) {
    const HWND window = handle_;
    DestroyWindow(window);
    handle_ = nullptr;
  }
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  TWinControl* self;
  if (message == WM_NCCREATE) {
    self = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->handle_ = window;
  } else {
    self = reinterpret_cast<TWinControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  }
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->handle_ = nullptr;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  // No exception may unwind through the system's frames: the application shows it instead.
  try {
    return self->WndProc(message, wParam, lParam);
  } catch (const Exception& e) {
    if (Application != nullptr) Application->HandleException(e);
  } catch (const std::exception& e) {
    if (Application != nullptr) Application->HandleException(Exception(e.what()));
  } catch (...) {
    if (Application != nullptr) Application->HandleException(Exception(""));
  }
  return 0;
}

LRESULT CALLBACK TWinControl::SystemClassProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  auto* self = static_cast<TWinControl*>(GetPropA(window, kControlProperty));
  if (self == nullptr || self->systemProc_ == nullptr) {
    return DefWindowProcA(window, message, wParam, lParam);
  }
  const WNDPROC systemProc = self->systemProc_;
  if (message == WM_SETFOCUS) {
    self->ChildFocused(self);
  } else if (message == WM_NCDESTROY) {
    // The window goes, also when its parent takes it along: the control forgets it.
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(systemProc));
    RemovePropA(window, kControlProperty);
    self->systemProc_ = nullptr;
    self->handle_ = nullptr;
  }
  return CallWindowProcA(systemProc, window, message, wParam, lParam);
}

void TWinControl::ChildFocused(TWinControl* control) {
  if (Parent() != nullptr) Parent()->ChildFocused(control);
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(handle_, message, wParam, lParam);
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(handle_, &ps);
      PaintWindow(dc);
      EndPaint(handle_, &ps);
      return 0;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      HandleMouse(message, wParam, lParam);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != handle_) {
        captured_ = nullptr;
        selfCaptured_ = false;
      }
      return 0;
    case WM_SETFOCUS:
      ChildFocused(this);
      break;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == handle_ && LOWORD(lParam) == HTCLIENT &&
          HandleSetCursor()) {
        return TRUE;
      }
      break;
    default:
      break;
  }
  return DefaultHandler(message, wParam, lParam);
}

void TWinControl::PaintWindow(HDC dc) {
  // Painted off screen, then copied, so that the layers never flicker.
  const int width = std::max(1, ClientWidth()), height = std::max(1, ClientHeight());
  MemoryDC memory(dc);
  GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, width, height));
  SelectObjectScope selectBitmap(memory.Get(), bitmap.Get());

  GdiObject<HBRUSH> background(CreateSolidBrush(ColorToRGB(color_)));
  RECT all = {0, 0, width, height};
  FillRect(memory.Get(), &all, background.Get());
  for (TControl* control : controls_) {
    if (!control->IsGraphic() || !control->Visible()) continue;
    const int saved = SaveDC(memory.Get());
    SetViewportOrgEx(memory.Get(), control->Left(), control->Top(), nullptr);
    IntersectClipRect(memory.Get(), 0, 0, control->Width(), control->Height());
    control->Paint(memory.Get());
    RestoreDC(memory.Get(), saved);
  }
  BitBlt(dc, 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
}

TControl* TWinControl::ControlAtPos(int x, int y) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* control = *it;
    if (control->IsGraphic() && control->Visible() && control->Enabled() &&
        Contains(control->BoundsRect(), x, y)) {
      return control;
    }
  }
  return nullptr;
}

void TWinControl::HandleMouse(UINT message, WPARAM wParam, LPARAM lParam) {
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  const TShiftState shift = ShiftFromKeys(wParam);
  TMouseButton button = mbLeft;
  if (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP) button = mbRight;
  if (message == WM_MBUTTONDOWN || message == WM_MBUTTONUP) button = mbMiddle;

  const bool held = captured_ != nullptr || selfCaptured_;
  TControl* target = held ? captured_ : ControlAtPos(x, y);
  const int tx = target != nullptr ? x - target->Left() : x;
  const int ty = target != nullptr ? y - target->Top() : y;

  switch (message) {
    case WM_MOUSEMOVE:
      if (target != nullptr) {
        target->MouseMove(shift, tx, ty);
      } else {
        MouseMove(shift, x, y);
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (held) break;  // a second button while one is held goes nowhere
      captured_ = target;
      selfCaptured_ = target == nullptr;
      capturedButton_ = button;
      SetCapture(handle_);
      if (target != nullptr) {
        target->MouseDown(button, shift, tx, ty);
      } else {
        MouseDown(button, shift, x, y);
      }
      break;
    default: {  // a button released
      if (!held || button != capturedButton_) break;
      captured_ = nullptr;
      selfCaptured_ = false;
      ReleaseCapture();
      // The click comes first, and only for a left release over the pressed control.
      if (target != nullptr) {
        if (button == mbLeft && Contains(target->BoundsRect(), x, y)) target->Click();
        target->MouseUp(button, shift, tx, ty);
      } else {
        if (button == mbLeft && x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight()) {
          Click();
        }
        MouseUp(button, shift, x, y);
      }
      break;
    }
  }
}

bool TWinControl::HandleSetCursor() {
  POINT p;
  GetCursorPos(&p);
  ScreenToClient(handle_, &p);
  TControl* control = ControlAtPos(p.x, p.y);
  const TCursor cursor = control != nullptr ? control->Cursor() : Cursor();
  if (cursor == crDefault) return false;
  ::SetCursor(LoadCursorFor(cursor));
  return true;
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

void TWinControl::Invalidate() {
  if (handle_ != nullptr) ::InvalidateRect(handle_, nullptr, FALSE);
}

void TWinControl::InvalidateRect(const RECT& rect) {
  if (handle_ != nullptr) ::InvalidateRect(handle_, &rect, FALSE);
}

void TWinControl::Update() {
  if (handle_ != nullptr) UpdateWindow(handle_);
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
  if (name == "TabOrder") {
    SetTabOrder(IntFromText(name, value));
    return true;
  }
  if (name == "TabStop") {
    SetTabStop(BoolFromText(name, value));
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

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  std::vector<TWinControl*> children;
  for (TControl* control : controls_) {
    if (auto* child = dynamic_cast<TWinControl*>(control)) children.push_back(child);
  }
  std::stable_sort(children.begin(), children.end(),
                   [](TWinControl* a, TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
  for (TWinControl* child : children) {
    list.push_back(child);
    child->GetTabOrderList(list);
  }
}

void TWinControl::InsertControl(TControl* control) {
  if (auto* child = dynamic_cast<TWinControl*>(control); child != nullptr && child->tabOrder_ < 0) {
    // A control placed without a stored tab order comes after its windowed siblings.
    int last = -1;
    for (TControl* sibling : controls_) {
      if (auto* w = dynamic_cast<TWinControl*>(sibling)) last = std::max(last, w->tabOrder_);
    }
    child->tabOrder_ = last + 1;
  }
  controls_.push_back(control);
  ChildBoundsChanged(control);
}

void TWinControl::RemoveControl(TControl* control) {
  if (captured_ == control) captured_ = nullptr;
  if (tooltip_ != nullptr) {
    RemoveTooltipTool(tooltip_, handle_, reinterpret_cast<UINT_PTR>(control));
  }
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

void TWinControl::ChildBoundsChanged(TControl* control) {
  UpdateHintTool(control);
}

void TWinControl::UpdateHintTool(TControl* control) {
  if (handle_ == nullptr || !control->IsGraphic()) return;
  const bool wanted = control->ShowHint() && !control->Hint().empty();
  if (!wanted && tooltip_ == nullptr) return;
  if (tooltip_ == nullptr) {
    if (!TooltipClassReady()) {
      OutputDebugStringA("Hints have no tooltips: comctl32 could not be loaded.\n");
      return;
    }
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle_,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    if (tooltip_ == nullptr) return;
  }
  const UINT_PTR id = reinterpret_cast<UINT_PTR>(control);
  if (!wanted) {
    RemoveTooltipTool(tooltip_, handle_, id);
  } else if (!SetTooltipTool(tooltip_, handle_, id, control->BoundsRect(), control->Hint())) {
    // The hint is an aid, not worth stopping the window for: it goes to the debugger.
    OutputDebugStringA(
        ("The tooltip control refused the hint \"" + control->Hint() + "\".\n").c_str());
  }
}
