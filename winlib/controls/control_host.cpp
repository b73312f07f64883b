#include "winlib/controls/control_host.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "winlib/controls/accessible_client.h"
#include "winlib/controls/win_control.h"
#include "winlib/graphics/high_contrast.h"
#include "winlib/system/startup_trace.h"
#include "winlib/system/tooltip.h"

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

bool HasHint(const TControl& control) {
  return control.IsGraphic() && control.ShowHint() && !control.Hint().empty();
}

}  // namespace

bool TControlHost::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  *result = 0;
  switch (message) {
    case WM_ERASEBKGND:
      *result = 1;  // painted whole with the controls, off screen
      return true;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (const HDC dc = BeginPaint(window_.Handle(), &ps)) {
        window_.PaintWindow(dc);
        EndPaint(window_.Handle(), &ps);
      }
      return true;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      HandleMouse(message, wParam, lParam);
      return true;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != window_.Handle()) ForgetPress();
      return true;
    case WM_SETFOCUS:
      AnnounceFocus();
      return false;  // the window hands the focus on as it does
    case WM_KILLFOCUS:
      InvalidateFocus();
      return false;
    case WM_UPDATEUISTATE:
      InvalidateFocus();  // the focus rectangle shows or hides
      return false;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == window_.Handle() && LOWORD(lParam) == HTCLIENT &&
          HandleSetCursor()) {
        *result = TRUE;
        return true;
      }
      return false;
    default:
      return false;
  }
}

void TControlHost::Paint(HDC dc) {
  // Painted off screen, then copied, so that the layers never flicker.
  const int width = std::max(1, window_.ClientWidth());
  const int height = std::max(1, window_.ClientHeight());
  const MemoryDC memory(CreateCompatibleDC(dc));
  const GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, width, height));
  if (!memory || !bitmap) return;
  SelectObjectScope selectBitmap(memory.Get(), bitmap.Get());

  const TColor color = HighContrastOn() ? clWindow : window_.Color();
  const GdiObject<HBRUSH> background(CreateSolidBrush(ColorToRGB(color)));
  const RECT all = {0, 0, width, height};
  if (background) FillRect(memory.Get(), &all, background.Get());
  for (int i = 0; i < window_.ControlCount(); ++i) {
    TControl* control = window_.Controls(i);
    if (!control->IsGraphic() || !control->Visible()) continue;
    const int saved = SaveDC(memory.Get());
    SetViewportOrgEx(memory.Get(), control->Left(), control->Top(), nullptr);
    IntersectClipRect(memory.Get(), 0, 0, control->Width(), control->Height());
    control->Paint(memory.Get());
    RestoreDC(memory.Get(), saved);
  }
  if (FocusRectShown()) {
    RECT focus = focused_->BoundsRect();
    InflateRect(&focus, -2, -2);
    DrawFocusRect(memory.Get(), &focus);
  }
  BitBlt(dc, 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
  StartupMark("painted: ", window_.Name());
}

TControl* TControlHost::ControlAtPos(int x, int y) const {
  for (int i = window_.ControlCount() - 1; i >= 0; --i) {
    TControl* control = window_.Controls(i);
    const RECT bounds = control->BoundsRect();
    if (control->IsGraphic() && control->Visible() && control->Enabled() &&
        PtInRect(&bounds, POINT{x, y})) {
      return control;
    }
  }
  return nullptr;
}

void TControlHost::ForgetPress() {
  captured_ = nullptr;
  selfCaptured_ = false;
}

void TControlHost::HandleMouse(UINT message, WPARAM wParam, LPARAM lParam) {
  const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  const TShiftState shift = ShiftFromKeys(wParam);
  TMouseButton button = mbLeft;
  if (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP) button = mbRight;
  if (message == WM_MBUTTONDOWN || message == WM_MBUTTONUP) button = mbMiddle;

  const bool held = captured_ != nullptr || selfCaptured_;
  TControl* target = held ? captured_ : ControlAtPos(x, y);
  // The window itself stands in where no control is hit.
  TControl& receiver = target != nullptr ? *target : window_;
  const int rx = target != nullptr ? x - target->Left() : x;
  const int ry = target != nullptr ? y - target->Top() : y;

  switch (message) {
    case WM_MOUSEMOVE:
      if (!tooltip_ && !tooltipFailed_ && !held && target != nullptr && HasHint(*target)) {
        tooltipFailed_ = !MakeTooltip(wParam, lParam);
      }
      receiver.MouseMove(shift, rx, ry);
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (held) break;  // a second button while one is held goes nowhere
      captured_ = target;
      selfCaptured_ = target == nullptr;
      capturedButton_ = button;
      SetCapture(window_.Handle());
      try {
        receiver.MouseDown(button, shift, rx, ry);
      } catch (...) {
        // The error box comes next: the press ends here, so that the next one is a press.
        ForgetPress();
        ReleaseCapture();
        throw;
      }
      break;
    default: {  // a button released
      if (!held || button != capturedButton_) break;
      ForgetPress();
      ReleaseCapture();
      // The click comes first, and only for a left release over the pressed control.
      const RECT area = target != nullptr
                            ? target->BoundsRect()
                            : RECT{0, 0, window_.ClientWidth(), window_.ClientHeight()};
      const bool inside = PtInRect(&area, POINT{x, y}) != FALSE;
      if (button == mbLeft && inside) receiver.Click();
      receiver.MouseUp(button, shift, rx, ry);
      break;
    }
  }
}

bool TControlHost::HandleSetCursor() {
  POINT p;
  if (!GetCursorPos(&p) || !ScreenToClient(window_.Handle(), &p)) return false;
  const TControl* control = ControlAtPos(p.x, p.y);
  const TCursor cursor = control != nullptr ? control->Cursor() : window_.Cursor();
  if (cursor == crDefault) return false;
  ::SetCursor(LoadCursorFor(cursor));
  return true;
}

void TControlHost::SetFocused(TControl* control) {
  if (control != focused_) {
    InvalidateFocus();
    focused_ = control;
  }
  if (GetFocus() == window_.Handle()) AnnounceFocus();
}

bool TControlHost::FocusRectShown() const {
  if (focused_ == nullptr || !focused_->Visible() || GetFocus() != window_.Handle()) return false;
  // Hidden until the keyboard is used, where the user's settings say so.
  return (SendMessageA(window_.Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
}

void TControlHost::InvalidateFocus() {
  if (focused_ != nullptr) window_.InvalidateRect(focused_->BoundsRect());
}

void TControlHost::AnnounceFocus() {
  if (focused_ == nullptr) return;
  InvalidateFocus();
  const long child = AccessibleChildId(window_, focused_);
  if (child != 0) NotifyWinEvent(EVENT_OBJECT_FOCUS, window_.Handle(), OBJID_CLIENT, child);
}

void TControlHost::ControlRemoved(TControl* control) {
  if (captured_ == control) captured_ = nullptr;
  if (focused_ == control) focused_ = nullptr;
  if (tooltip_) {
    RemoveTooltipTool(tooltip_.Get(), window_.Handle(), reinterpret_cast<UINT_PTR>(control));
  }
}

void TControlHost::WindowDestroying() {
  ForgetPress();
  tooltip_.Reset();
}

void TControlHost::ControlChanged(TControl* control) {
  if (tooltip_ && control->IsGraphic()) UpdateHint(control);
}

bool TControlHost::MakeTooltip(WPARAM wParam, LPARAM lParam) {
  if (!TooltipClassReady()) {
    OutputDebugStringA("Hints have no tooltips: comctl32 could not be loaded.\n");
    return false;
  }
  tooltip_.Reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 window_.Handle(), nullptr, GetModuleHandleA(nullptr), nullptr));
  if (!tooltip_) {
    OutputDebugStringA("Hints have no tooltips: the tooltip window could not be made.\n");
    return false;
  }
  for (int i = 0; i < window_.ControlCount(); ++i) {
    if (HasHint(*window_.Controls(i))) UpdateHint(window_.Controls(i));
  }
  // The tools watch the pointer from the next move on; this one came before them.
  MSG move = {window_.Handle(),
              WM_MOUSEMOVE,
              wParam,
              lParam,
              static_cast<DWORD>(GetMessageTime()),
              {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}};
  if (ClientToScreen(window_.Handle(), &move.pt)) {
    SendMessageA(tooltip_.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
  }
  return true;
}

void TControlHost::UpdateHint(TControl* control) {
  const UINT_PTR id = reinterpret_cast<UINT_PTR>(control);
  if (!HasHint(*control)) {
    RemoveTooltipTool(tooltip_.Get(), window_.Handle(), id);
  } else if (!SetTooltipTool(tooltip_.Get(), window_.Handle(), id, control->BoundsRect(),
                             control->Hint())) {
    // The hint is an aid, not worth stopping the window for: it goes to the debugger.
    OutputDebugStringA(
        ("The tooltip control refused the hint \"" + control->Hint() + "\".\n").c_str());
  }
}
