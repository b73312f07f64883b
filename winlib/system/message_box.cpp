#include "winlib/system/message_box.h"

#include <utility>

#include "core/gbk.h"
#include "winlib/system/exception.h"

namespace {

// What the application handed down, and what shows the boxes; one user-interface thread.
struct Boxes {
  std::string caption;
  HWND owner = nullptr;
  MessageBoxDisplay display = SystemMessageBox;
};

Boxes& State() {
  static Boxes boxes;
  return boxes;
}

// The owner of a box: the window handed down (the main form) while it takes input, also when
// the system has just activated another window of the program or another program is in front,
// so that the box disables it; while a box of its own disables it, the active window (that box).
HWND BoxOwner() {
  const HWND form = State().owner;
  if (form != nullptr && IsWindowVisible(form) && IsWindowEnabled(form)) return form;
  return GetActiveWindow();
}

void ShowBox(const std::string& text, UINT type) {
  State().display(BoxOwner(), text, State().caption, type);
}

}  // namespace

int SystemMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  return MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

void SetMessageBoxCaption(const std::string& caption) {
  State().caption = caption;
}

void SetMessageBoxOwner(HWND owner) {
  State().owner = owner;
}

MessageBoxDisplayOverride::MessageBoxDisplayOverride(MessageBoxDisplay display)
    : ScopedAssignment(State().display, std::move(display)) {}

void ShowMessage(const std::string& text) {
  ShowBox(text, MB_OK);
}

void ShowUnhandledException(const Exception& e) {
  ShowBox(ExceptionDisplayText(e.Message()), MB_OK | MB_ICONERROR);
}

std::string ExceptionDisplayText(const std::string& message) {
  if (message.empty()) return message;
  // A double-byte last character always has a higher code than the full stop.
  const bool single = GbkLastByteIsSingle(message.data(), message.size());
  if (!single || static_cast<unsigned char>(message.back()) > '.') return message + '.';
  return message;
}
