#include "winlib/message_box.h"

#include "core/gbk.h"
#include "winlib/application.h"
#include "winlib/form.h"

namespace {

// The owner of message boxes: the active window of this thread, else the main form.
HWND MessageBoxOwner() {
  HWND active = GetActiveWindow();
  if (active == nullptr && Application != nullptr && Application->MainForm() != nullptr) {
    active = Application->MainForm()->Handle();
  }
  return active;
}

void ShowApplicationBox(const std::string& text, UINT type) {
  if (Application == nullptr) {
    SystemMessageBox(GetActiveWindow(), text, "", type);
  } else {
    Application->Display()(MessageBoxOwner(), text, Application->Title(), type);
  }
}

}  // namespace

int SystemMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  return MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

void ShowMessage(const std::string& text) {
  ShowApplicationBox(text, MB_OK);
}

void TApplication::ShowException(const Exception& e) {
  ShowApplicationBox(ExceptionDisplayText(e.Message()), MB_OK | MB_ICONERROR);
}

void ShowUnhandledException(const Exception& e) {
  if (Application != nullptr) Application->ShowException(e);
}

std::string ExceptionDisplayText(const std::string& message) {
  if (message.empty()) return message;
  // A double-byte last character always has a higher code than the full stop.
  const bool single = GbkLastByteIsSingle(message.data(), message.size());
  if (!single || static_cast<unsigned char>(message.back()) > '.') return message + '.';
  return message;
}
