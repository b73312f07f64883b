#include "winlib/application.h"

#include <algorithm>
#include <string>
#include <utility>

#include "core/gbk.h"
#include "winlib/form.h"
#include "winlib/guarded.h"
#include "winlib/startup_trace.h"

TApplication* Application = nullptr;

namespace {

// Posted to the application window to hand the activation on to the forms.
constexpr UINT kActivateForms = WM_APP + 1;

// The application window's class, or none when it cannot be registered.
const char* AppWindowClass(WNDPROC procedure) {
  static const char* name = [procedure] {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    wc.lpszClassName = "ZembraApplication";
    return RegisterClassExA(&wc) != 0 ? "ZembraApplication" : nullptr;
  }();
  return name;
}

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

// The owner of message boxes: the active window of this thread, else the main form.
HWND MessageBoxOwner() {
  HWND active = GetActiveWindow();
  if (active == nullptr && Application != nullptr && Application->MainForm() != nullptr) {
    active = Application->MainForm()->Handle();
  }
  return active;
}

}  // namespace

TApplication::TApplication() : TComponent(nullptr) {
  Application = this;
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name = path;
  name = name.substr(name.find_last_of("\\/") + 1);
  title_ = name.substr(0, name.rfind('.'));
  // Without it the forms still work; they only have no taskbar entry of their own.
  const char* windowClass = AppWindowClass(&TApplication::StaticWndProc);
  if (windowClass != nullptr) {
    handle_ = CreateWindowExA(0, windowClass, title_.c_str(),
                              WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                              GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2,
                              0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), this);
  }
  if (handle_ == nullptr) {
    OutputDebugStringA(("The application window could not be made (system error " +
                        std::to_string(GetLastError()) + ").\n")
                           .c_str());
  }
}

LRESULT CALLBACK TApplication::StaticWndProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created =
        static_cast<TApplication*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    // Messages of the creation itself (its first WM_SIZE) already need the handle.
    if (created != nullptr) created->handle_ = window;
  }
  auto* self = reinterpret_cast<TApplication*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr || message == WM_NCCREATE) {
    return DefWindowProcA(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  LRESULT result = 0;
  Guarded([&] { result = self->WndProc(window, message, wParam, lParam); });
  return result;
}

LRESULT TApplication::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      // Close from the taskbar (its system command comes here as well): the main form closes
      // as with its exit button, which ends the program. While a modal box disables the form,
      // the box comes to the front to be answered first, as a dialog's owner does.
      if (!HasMainForm()) return 0;
      if (IsWindowEnabled(mainForm_->Handle())) {
        mainForm_->Close();
      } else if (const HWND box = WaitingBox()) {
        // Windows may refuse the foreground to a program in the background: then the taskbar
        // button flashes instead.
        if (!SetForegroundWindow(box)) FlashWindow(box, TRUE);
      }
      return 0;
    case WM_ACTIVATE:
      // Restored from the taskbar or picked with Alt+Tab, the window that stands for the
      // program is activated itself; the form is the one that takes the keys.
      if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0) PostActivateForms();
      break;
    case WM_SIZE:
      // Restored after being activated while still minimised: that activation handed nothing
      // on, so the restore does. The forms that the minimise hid come back whatever restored
      // the window (the system's restore command shows them itself, a plain ShowWindow does
      // not), and a form that a minimised start kept hidden shows now.
      if (wParam == SIZE_RESTORED) {
        if (!ShowOwnedPopups(window, TRUE)) OutputDebugStringA("The forms could not be shown.\n");
        if (std::exchange(showOnRestore_, false) && HasMainForm()) mainForm_->Show();
        PostActivateForms();
      }
      break;
    case kActivateForms:
      activatePosted_ = false;
      ActivateMainForm();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;  // no file is being written now: an import writes inside one message
    case WM_ENDSESSION:
      if (wParam) EndSession();
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool TApplication::HasMainForm() const {
  // Still one of the forms the application owns: a test may have freed it by hand.
  for (int i = 0; mainForm_ != nullptr && i < ComponentCount(); ++i) {
    if (Components(i) == mainForm_) return mainForm_->Handle() != nullptr;
  }
  return false;
}

HWND TApplication::WaitingBox() const {
  const HWND form = mainForm_->Handle();
  const HWND popup = GetLastActivePopup(form);
  return popup != nullptr && popup != form && IsWindowVisible(popup) && IsWindowEnabled(popup)
             ? popup
             : nullptr;
}

void TApplication::PostActivateForms() {
  if (handle_ != nullptr && !activatePosted_)
    activatePosted_ = PostMessageA(handle_, kActivateForms, 0, 0) != FALSE;
}

void TApplication::ActivateMainForm() {
  if (!HasMainForm() || IsIconic(handle_)) return;
  if (GetActiveWindow() != handle_) return;  // something else was activated meanwhile
  const HWND form = mainForm_->Handle();
  // A form minimised on its own comes back with the program.
  if (IsIconic(form)) ShowWindow(form, SW_RESTORE);
  // The form, or the box that it waits for.
  const HWND box = WaitingBox();
  const HWND target = box != nullptr ? box : form;
  if (IsWindowVisible(target) && IsWindowEnabled(target)) SetActiveWindow(target);
}

void TApplication::Minimize() {
  if (handle_ == nullptr || IsIconic(handle_)) return;
  // The system's own minimise of the active application window hides the forms it owns, and
  // its restore from the taskbar shows them again.
  SetActiveWindow(handle_);
  SendMessageA(handle_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void TApplication::EndSession() {
  // Windows is ending the session (or the Restart Manager closes the program): it ends as
  // with the exit button, whatever the forms would say; a box that is open closes with the
  // loop.
  if (HasMainForm()) mainForm_->Close();
  Terminate();
}

TApplication::~TApplication() {
  // The forms go first, while the application window still owns them.
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
  if (handle_ != nullptr) DestroyWindow(handle_);
  if (Application == this) Application = nullptr;
}

void TApplication::SetTitle(const std::string& title) {
  title_ = title;
  if (handle_ != nullptr) SetWindowTextA(handle_, title_.c_str());
}

void TApplication::Run() {
  if (mainForm_ == nullptr) return;
  // The application window has no size; shown, it gives the program its taskbar entry,
  // captioned with the title. Started minimised (a shortcut's "Run: Minimised"), the program
  // waits there, and its form shows when it is restored.
  if (handle_ != nullptr && StartsMinimized()) {
    showOnRestore_ = true;
    ShowWindow(handle_, SW_SHOWMINNOACTIVE);
  } else {
    if (handle_ != nullptr) ShowWindow(handle_, SW_SHOWNA);
    StartupMark("taskbar entry shown");
    mainForm_->Show();
    StartupMark("main form shown");
  }
  MSG message;
  for (;;) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    ProcessMessage(message);
  }
  terminated_ = true;
}

void TApplication::ProcessMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      terminated_ = true;
      break;
    }
    ProcessMessage(message);
  }
  FreeReleasedForms();  // also those released outside any message
}

void TApplication::ProcessMessage(const MSG& message) {
  if (!IsDialogKey(message)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  FreeReleasedForms();
}

bool TApplication::IsDialogKey(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  // The form that the key's window belongs to; a message box's keys stay the box's.
  auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(GetAncestor(message.hwnd, GA_ROOT)));
  if (form == nullptr) return false;
  // A key's click runs a handler outside any window procedure: what it raises is shown here,
  // as for a click with the pointer, and the key counts as taken.
  bool taken = false;
  if (!Guarded([&] { taken = form->DialogKey(message); })) taken = true;
  return taken;
}

void TApplication::Terminate() {
  // The loop ends when it takes the quit message, so none is left for a later loop.
  if (!quitPosted_) PostQuitMessage(0);
  quitPosted_ = true;
}

void TApplication::ShowException(const Exception& e) {
  MessageBoxA(MessageBoxOwner(), ExceptionDisplayText(e.Message()).c_str(), title_.c_str(),
              MB_OK | MB_ICONERROR);
}

void TApplication::ReleaseForm(TForm* form) {
  if (std::find(released_.begin(), released_.end(), form) == released_.end()) {
    released_.push_back(form);
  }
}

void TApplication::FreeReleasedForms() {
  std::vector<TForm*> forms;
  forms.swap(released_);
  for (TForm* form : forms) {
    if (form == mainForm_) mainForm_ = nullptr;
    delete form;
  }
}

void ShowUnhandledException(const Exception& e) {
  if (Application != nullptr) Application->HandleException(e);
}

void ShowMessage(const std::string& text) {
  const std::string caption = Application != nullptr ? Application->Title() : std::string();
  MessageBoxA(MessageBoxOwner(), text.c_str(), caption.c_str(), MB_OK);
}

std::string ExceptionDisplayText(const std::string& message) {
  if (message.empty()) return message;
  // A double-byte last character always has a higher code than the full stop.
  const bool single = GbkLastByteIsSingle(message.data(), message.size());
  if (!single || static_cast<unsigned char>(message.back()) > '.') return message + '.';
  return message;
}
