#include "winlib/application/form.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "winlib/application/application.h"
#include "winlib/application/layout.h"
#include "winlib/application/program_window.h"
#include "winlib/system/exception.h"
#include "winlib/system/startup_trace.h"

namespace {
DWORD StyleFor(TFormBorderStyle border) {
  const DWORD common = WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;
  return border == bsNone ? (WS_POPUP | common) : (WS_OVERLAPPED | WS_CAPTION | common);
}

TFormBorderStyle BorderStyleFromText(const std::string& value) {
  if (value != "bsNone" && value != "bsSingle") throw ELayoutError("Unknown " + value);
  return value == "bsNone" ? bsNone : bsSingle;
}

// What the control with the key asks to keep of it (WM_GETDLGCODE with the message).
LRESULT WantedKeys(const MSG& message) {
  return SendMessageA(message.hwnd, WM_GETDLGCODE, message.wParam,
                      reinterpret_cast<LPARAM>(&message));
}
}  // namespace

TForm::TForm(TComponent* owner, const FormClass& formClass)
    : TWinControl(owner), className_(formClass.className), methods_(formClass.methods) {
  const HWND programWindow = Application != nullptr ? Application->Handle() : nullptr;
  // The frame is decided here, once: the window is made with the one its layouts give it (the
  // last that names one).
  for (const Layout* layout : formClass.layouts) {
    for (const LayoutProperty& property : layout->properties) {
      if (property.name == "BorderStyle") borderStyle_ = BorderStyleFromText(property.value);
    }
  }
  CreateHandle(StyleFor(borderStyle_), 0, programWindow);
  StartupMark("form window made");
  for (const Layout* layout : formClass.layouts) {
    ApplyLayout(*this, *layout);
    StartupMark("layout applied: ", layout->formName);
  }
  laidOut_ = true;
  if (!SetWindowPos(Handle(), nullptr, Left(), Top(), Width(), Height(),
                    SWP_NOZORDER | SWP_NOACTIVATE)) {
    OutputDebugStringA("The form's window could not take its laid-out bounds.\n");
  }
}

void TForm::BoundsChanged() {
  if (laidOut_) {
    TWinControl::BoundsChanged();
  } else {
    AlignControls();
  }
}

TForm::~TForm() {
  if (Application != nullptr) Application->FormDestroyed(this);
}

int TForm::ClientWidth() const {
  return ClientSize().cx;
}

int TForm::ClientHeight() const {
  return ClientSize().cy;
}

SIZE TForm::ClientSize() const {
  RECT r;
  if (laidOut_ && Handle() != nullptr && GetClientRect(Handle(), &r))
    return SIZE{r.right, r.bottom};
  // Not yet laid out: the client area that the bounds give inside the form's frame.
  RECT frame = {0, 0, 0, 0};
  AdjustWindowRectEx(&frame, StyleFor(borderStyle_), FALSE, 0);
  return SIZE{Width() - (frame.right - frame.left), Height() - (frame.bottom - frame.top)};
}

void TForm::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (Handle() != nullptr) SetWindowTextA(Handle(), caption_.c_str());
}

void TForm::Show() {
  if (position_ == poScreenCenter && !centred_) Center();
  // A plain window shows its focus rectangles from the start; a dialog box hides them until
  // the keyboard is used, where the user's settings say so. The form does as a dialog box.
  BOOL cues = TRUE;
  if (SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &cues, 0) && !cues) {
    SendMessageA(Handle(), WM_CHANGEUISTATE,
                 MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
  }
  SetVisible(true);
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
  UpdateWindow(Handle());
}

void TForm::Center() {
  centred_ = true;
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  SetBounds((screenWidth - Width()) / 2, (screenHeight - Height()) / 2, Width(), Height());
}

void TForm::Close() {
  TCloseAction action = caHide;
  if (OnClose) OnClose(this, action);
  if (action == caNone) return;
  if (Application != nullptr && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  if (action == caFree) {
    ShowWindow(Handle(), SW_HIDE);
    if (Application != nullptr) {
      Application->ReleaseForm(this);
    }
  } else if (action == caMinimize) {
    ShowWindow(Handle(), SW_MINIMIZE);
  } else {
    SetVisible(false);
  }
}

std::string TForm::DefaultAccessibleName() const {
  return Application != nullptr ? Application->Title() : std::string();
}

bool TForm::IsMainForm() const {
  return Application != nullptr && Application->MainForm() == this;
}

bool TForm::Contains(const TControl* control) const {
  if (control == nullptr) return false;
  std::vector<TControl*> controls;
  GetTabOrderList(controls);
  return std::find(controls.begin(), controls.end(), control) != controls.end();
}

TControl* TForm::FocusedControl() const {
  std::vector<TControl*> controls;
  GetTabOrderList(controls);
  for (TControl* control : controls) {
    if (control->Focused()) return control;
  }
  return nullptr;
}

TControl* TForm::ActiveControl() const {
  return Contains(activeControl_) ? activeControl_ : nullptr;
}

TControl* TForm::FindNextControl(TControl* current, bool forward) const {
  std::vector<TControl*> controls;
  GetTabOrderList(controls);
  if (!forward) std::reverse(controls.begin(), controls.end());
  const auto at = std::find(controls.begin(), controls.end(), current);
  const std::size_t start = at == controls.end() ? 0 : (at - controls.begin()) + 1;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    TControl* candidate = controls[(start + i) % controls.size()];
    if (candidate->TabStop() && candidate->CanFocus()) return candidate;
  }
  return nullptr;
}

TControl* TForm::ControlToFocus() const {
  TControl* control = ActiveControl();
  return control != nullptr && control->CanFocus() ? control : FindNextControl(nullptr, true);
}

bool TForm::FocusItsControl() {
  TControl* control = ControlToFocus();
  if (control == nullptr) return false;
  control->SetFocus();  // remembered once it has the focus (ChildFocused)
  return true;
}

void TForm::ChildFocused(TControl* control) {
  // The one place that remembers the focus: the control that last gained it is the one to give
  // it back to, also when a modal box took it away before the form was deactivated.
  if (control != this) activeControl_ = control;
}

void TForm::SelectNext(bool forward) {
  TControl* current = FocusedControl();
  TControl* next = FindNextControl(current != nullptr ? current : ActiveControl(), forward);
  if (next != nullptr) next->SetFocus();
}

bool TForm::HandleDialogKey(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
  switch (message.wParam) {
    case VK_TAB:
      return TabKey(message);
    case VK_RETURN: {
      // A focused windowless control is pressed; from any other, Enter is the default's.
      TControl* focused = FocusedControl();
      return ClickKey(focused != nullptr && focused->IsGraphic() ? focused : defaultControl_,
                      message);
    }
    case VK_SPACE: {
      TControl* focused = FocusedControl();
      return focused != nullptr && focused->IsGraphic() && ClickKey(focused, message);
    }
    case VK_ESCAPE:
      return ClickKey(cancelControl_, message);
    default:
      return false;
  }
}

bool TForm::TabKey(const MSG& message) {
  // A control that wants the Tab key itself keeps it.
  if (message.hwnd != Handle() && (WantedKeys(message) & (DLGC_WANTTAB | DLGC_WANTALLKEYS))) {
    return false;
  }
  SelectNext(GetKeyState(VK_SHIFT) >= 0);
  // The keyboard is in use: the focus rectangles show from now on.
  SendMessageA(Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  return true;
}

bool TForm::ClickKey(TControl* control, const MSG& message) {
  if (control == nullptr || !control->Visible() || !control->Enabled()) return false;
  if (message.hwnd != Handle() && (WantedKeys(message) & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))) {
    return false;
  }
  // A held key repeats its WM_KEYDOWN with bit 30 (the key was already down) set: one click
  // per press, and none for a key still down from a message box that it closed.
  if ((message.lParam & (1L << 30)) == 0) control->Click();
  return true;
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      // Activated, not minimised.
      if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0 && FocusItsControl()) return 0;
      break;
    case WM_SETFOCUS:
      // As a dialog box does, the form hands the focus it gets on to its control: the system
      // may focus the form itself when it activates it.
      if (FocusItsControl()) return 0;
      break;
    case WM_ENABLE:
      // Enabled again once a modal box has gone. Activated while the box still disabled it (as
      // Wine does when the box ends), the form could not give its control the focus, and kept
      // it itself or had none: it gives it now.
      if (wParam && GetActiveWindow() == Handle() &&
          (GetFocus() == nullptr || GetFocus() == Handle())) {
        FocusItsControl();
      }
      break;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      // High contrast on or off, or other system colours: everything is drawn again.
      RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      break;
    case WM_SYSCOMMAND:
      // The main form minimises the program: its taskbar button, the application window's,
      // then brings it back.
      if ((wParam & 0xFFF0) == SC_MINIMIZE && IsMainForm() && Application->ProgramWindow()) {
        Application->ProgramWindow()->Minimize();
        return 0;
      }
      break;
    case WM_MOVE:
    case WM_SIZE: {
      RECT r;
      GetWindowRect(Handle(), &r);
      StoreBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
      if (message == WM_SIZE) AlignControls();
      break;
    }
    default:
      break;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

bool TForm::SetProperty(const std::string& name, const std::string& value) {
  if (name == "Caption") {
    SetCaption(value);
  } else if (name == "ClientWidth" || name == "ClientHeight") {
    // Without a border the client area is the whole window.
    RECT r = {0, 0, name == "ClientWidth" ? IntFromText(name, value) : ClientWidth(),
              name == "ClientHeight" ? IntFromText(name, value) : ClientHeight()};
    AdjustWindowRectEx(&r, StyleFor(borderStyle_), FALSE, 0);
    SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
  } else if (name == "BorderStyle") {
    BorderStyleFromText(value);  // the window was made with it
  } else if (name == "Position") {
    if (value != "poScreenCenter" && value != "poDesigned") throw ELayoutError("Unknown " + value);
    position_ = value == "poScreenCenter" ? poScreenCenter : poDesigned;
  } else if (name == "PixelsPerInch" || name == "TextHeight") {
    IntFromText(name, value);  // the layout scales its values to the screen (ApplyLayout)
  } else if (name == "OldCreateOrder") {
    BoolFromText(name, value);
  } else if (name == "Visible") {
    // A form shows when the application runs it.
    BoolFromText(name, value);
  } else {
    return TWinControl::SetProperty(name, value);
  }
  return true;
}
