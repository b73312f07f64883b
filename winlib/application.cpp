#include "winlib/application.h"

#include <algorithm>
#include <exception>

#include "core/gbk.h"
#include "winlib/form.h"

TApplication* Application = nullptr;

namespace {

const char* AppWindowClass() {
  static const char* name = [] {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    wc.lpszClassName = "ZembraApplication";
    RegisterClassExA(&wc);
    return "ZembraApplication";
  }();
  return name;
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
  handle_ = CreateWindowExA(0, AppWindowClass(), title_.c_str(),
                            WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                            GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0,
                            0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
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
  // captioned with the title.
  if (handle_ != nullptr) ShowWindow(handle_, SW_SHOWNA);
  mainForm_->Show();
  MSG message;
  while (HandleMessage(message)) {
  }
}

bool TApplication::HandleMessage(MSG& message) {
  const BOOL got = GetMessageA(&message, nullptr, 0, 0);
  if (got == 0 || got == -1) {
    terminated_ = true;
    return false;
  }
  if (!IsDialogKey(message)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  FreeReleasedForms();
  return true;
}

bool TApplication::IsDialogKey(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  // A key's click runs a handler outside any window procedure: what it raises is shown here,
  // as for a click with the pointer, and the loop goes on.
  try {
    for (int i = 0; i < ComponentCount(); ++i) {
      auto* form = dynamic_cast<TForm*>(Components(i));
      if (form != nullptr && form->DialogKey(message)) return true;
    }
  } catch (const Exception& e) {
    HandleException(e);
    return true;
  } catch (const std::exception& e) {
    HandleException(Exception(e.what()));
    return true;
  } catch (...) {
    HandleException(Exception(""));
    return true;
  }
  return false;
}

void TApplication::ProcessMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      terminated_ = true;
      break;
    }
    if (IsDialogKey(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  FreeReleasedForms();
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
