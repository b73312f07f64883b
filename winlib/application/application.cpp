#include "winlib/application/application.h"

#include <algorithm>
#include <string>
#include <vector>

#include "winlib/application/form.h"
#include "winlib/application/program_window.h"
#include "winlib/system/guarded.h"
#include "winlib/system/startup_trace.h"

TApplication* Application = nullptr;

namespace {

// The program file's name without its folder and extension; empty when it cannot be read.
std::string ProgramName() {
  // A path that fills the buffer may have been cut short (and on XP is then not terminated):
  // read again into a larger one, up to the longest path there is.
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD size = static_cast<DWORD>(path.size());
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), size);
    if (length == 0) return std::string();
    if (length < size) {
      const std::string name(path.data(), length);
      const std::string file = name.substr(name.find_last_of("\\/") + 1);
      return file.substr(0, file.rfind('.'));
    }
    if (size >= 32768) return std::string();
    path.resize(size * 2);
  }
}

}  // namespace

TApplication::TApplication() : TComponent(nullptr), title_(ProgramName()) {
  Application = this;
  SetMessageBoxCaption(title_);
  // Without it the forms still work; they only have no taskbar entry of their own.
  try {
    programWindow_ = std::make_unique<TProgramWindow>(*this);
    programWindow_->SetTitle(title_);
  } catch (const Exception& e) {
    OutputDebugStringA(("The program window could not be made: " + e.Message() + "\n").c_str());
  }
}

TApplication::~TApplication() {
  // The forms go first, while the program window still owns them.
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
  programWindow_.reset();
  SetMessageBoxCaption(std::string());
  if (Application == this) Application = nullptr;
}

HWND TApplication::Handle() const {
  return programWindow_ != nullptr ? programWindow_->Handle() : nullptr;
}

void TApplication::SetTitle(const std::string& title) {
  title_ = title;
  SetMessageBoxCaption(title_);
  if (programWindow_ != nullptr) programWindow_->SetTitle(title_);
}

void TApplication::SetMainForm(TForm* form, HWND window) {
  mainForm_ = form;
  SetMessageBoxOwner(window);
}

void TApplication::ShowException(const Exception& e) {
  ShowUnhandledException(e);
}

void TApplication::Run() {
  if (mainForm_ == nullptr) return;
  if (programWindow_ == nullptr || programWindow_->ShowAsStarted()) {
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
  if (!TranslateFormKey(message)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  FreeReleasedForms();
}

bool TApplication::TranslateFormKey(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  // The form that the key's window belongs to; a message box's keys stay the box's.
  auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(GetAncestor(message.hwnd, GA_ROOT)));
  if (form == nullptr) return false;
  // A key's click runs a handler outside any window procedure: what it raises is shown here,
  // as for a click with the pointer, and the key counts as taken.
  bool taken = false;
  if (!Guarded([&] { taken = form->HandleDialogKey(message); })) taken = true;
  return taken;
}

void TApplication::Terminate() {
  // The loop ends when it takes the quit message, so none is left for a later loop.
  if (!quitPosted_) PostQuitMessage(0);
  quitPosted_ = true;
}

void TApplication::ReleaseForm(TForm* form) {
  if (std::find(released_.begin(), released_.end(), form) == released_.end()) {
    released_.push_back(form);
  }
}

void TApplication::FormDestroyed(TForm* form) {
  if (form == mainForm_) SetMainForm(nullptr, nullptr);
  released_.erase(std::remove(released_.begin(), released_.end(), form), released_.end());
}

void TApplication::FreeReleasedForms() {
  std::vector<TForm*> forms;
  forms.swap(released_);
  for (TForm* form : forms) delete form;
}
