#include "winlib/application/program_window.h"

#include <utility>

#include "winlib/application/application.h"
#include "winlib/application/form.h"
#include "winlib/system/window_messages.h"

namespace {

// The show command that the program was started with asks for a minimised window.
bool StartsMinimized() {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  if ((startup.dwFlags & STARTF_USESHOWWINDOW) == 0) return false;
  switch (startup.wShowWindow) {
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
      return true;
    default:
      return false;
  }
}

struct BoxSearch {
  HWND owner;
  HWND box;
};

BOOL CALLBACK FindOwnedBox(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<BoxSearch*>(lParam);
  // A tooltip of the form's is owned by it too, but is no box to answer.
  const bool toolWindow = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
  if (!toolWindow && GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window) &&
      IsWindowEnabled(window)) {
    search->box = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

TProgramWindow::TProgramWindow(TApplication& application)
    : TWinControl(nullptr), application_(application) {
  SetBounds(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0);
  CreateHandle(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, nullptr);
}

void TProgramWindow::SetTitle(const std::string& title) {
  SetWindowTextA(Handle(), title.c_str());
}

bool TProgramWindow::ShowAsStarted() {
  mainFormWaits_ = StartsMinimized();
  ShowWindow(Handle(), mainFormWaits_ ? SW_SHOWMINNOACTIVE : SW_SHOWNA);
  return !mainFormWaits_;
}

void TProgramWindow::Minimize() {
  if (IsIconic(Handle())) return;
  // The system's minimise hides the forms that a window owns when that window is the active
  // one; otherwise the form stays on screen.
  SetActiveWindow(Handle());
  SendMessageA(Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

HWND TProgramWindow::OpenBoxOf(HWND form) {
  // Found by ownership: GetLastActivePopup gives a form that is itself owned (by this window)
  // back unchanged, never its box.
  BoxSearch search = {form, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindOwnedBox, reinterpret_cast<LPARAM>(&search));
  return search.box;
}

TForm* TProgramWindow::MainForm() const {
  TForm* form = application_.MainForm();
  return form != nullptr && form->Handle() != nullptr ? form : nullptr;
}

LRESULT TProgramWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:  // Close on the taskbar; its system command comes here as well
      CloseFromTaskbar();
      return 0;
    case WM_ACTIVATE:
      // Picked on the taskbar or with Alt+Tab, this window is activated itself; the form is
      // the one that takes the keys.
      if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0) PostHandOn();
      break;
    case WM_SIZE:
      if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) Restored();  // back from the taskbar
      break;
    case WM_GETMINMAXINFO: {
      // Maximised (a shortcut's "Run: Maximised"), the window keeps its zero size rather than
      // filling the screen with nothing.
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMaxSize = {0, 0};
      info->ptMinTrackSize = {0, 0};
      info->ptMaxTrackSize = {0, 0};
      RECT r;
      if (GetWindowRect(Handle(), &r)) info->ptMaxPosition = {r.left, r.top};
      return 0;
    }
    case kHandOnActivation:
      HandOnActivation();
      return 0;
    case WM_ACTIVATEAPP:
      // The user came to the program, also by answering its box itself: the button has done
      // its job. Its timer stops it only when this window comes to the front.
      if (wParam && flashing_) StopFlashing();
      break;
    case WM_QUERYENDSESSION:
      return TRUE;  // no file is being written now: an import writes inside one message
    case WM_ENDSESSION:
      if (wParam) EndSession();  // FALSE: the log-off was cancelled
      return 0;
    default:
      break;
  }
  return DefaultHandler(message, wParam, lParam);
}

void TProgramWindow::CloseFromTaskbar() {
  TForm* form = MainForm();
  if (form == nullptr) return;
  // The main form closes as with its exit button, which ends the program. While a modal box
  // disables the form, the box comes to the front to be answered first, as a dialog's owner
  // does.
  if (IsWindowEnabled(form->Handle())) {
    form->Close();
    return;
  }
  const HWND box = OpenBoxOf(form->Handle());
  if (box != nullptr && SetForegroundWindow(box)) return;
  // Windows may refuse the foreground to a program in the background: the taskbar button
  // flashes until the user comes to it.
  Flash(FLASHW_TRAY | FLASHW_TIMERNOFG);
  flashing_ = true;
}

void TProgramWindow::StopFlashing() {
  Flash(FLASHW_STOP);
  flashing_ = false;
}

void TProgramWindow::Flash(DWORD flags) {
  FLASHWINFO flash = {};
  flash.cbSize = sizeof flash;
  flash.hwnd = Handle();
  flash.dwFlags = flags;
  FlashWindowEx(&flash);
}

void TProgramWindow::Restored() {
  // The forms that the minimise hid come back whatever restored the window (the system's
  // restore command shows them itself, a plain ShowWindow does not), and after a minimised
  // start the main form shows now. The activation is handed on as well: the shell may have
  // activated the window while it was still minimised.
  if (!ShowOwnedPopups(Handle(), TRUE)) OutputDebugStringA("The forms could not be shown.\n");
  TForm* form = MainForm();
  if (std::exchange(mainFormWaits_, false) && form != nullptr) form->Show();
  PostHandOn();
}

void TProgramWindow::PostHandOn() {
  // Handing on twice does no harm: the second finds the activation given already.
  if (!PostMessageA(Handle(), kHandOnActivation, 0, 0)) {
    OutputDebugStringA("The activation could not be handed on to the form.\n");
  }
}

void TProgramWindow::HandOnActivation() {
  TForm* form = MainForm();
  if (form == nullptr || IsIconic(Handle())) return;
  if (GetActiveWindow() != Handle()) return;  // something else was activated meanwhile
  // A form minimised on its own comes back with the program.
  if (IsIconic(form->Handle())) ShowWindow(form->Handle(), SW_RESTORE);
  const HWND box = OpenBoxOf(form->Handle());
  const HWND target = box != nullptr ? box : form->Handle();
  if (IsWindowVisible(target) && IsWindowEnabled(target)) SetActiveWindow(target);
}

void TProgramWindow::EndSession() {
  // Windows ends the session (or the Restart Manager closes the program): it ends as with the
  // exit button, whatever the forms would say; a box that is open closes with the loop.
  if (TForm* form = MainForm()) form->Close();
  application_.Terminate();
}
