// Message boxes: ShowMessage and the exception display, modal, with one OK button. The
// application hands down what they need of it (their caption, its title, and their owner, its
// main form); a test may replace what shows them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "winlib/system/scoped.h"

class Exception;

// Shows a modal message box and returns the button that answered it.
using MessageBoxDisplay =
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT type)>;

// The system's message box.
int SystemMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);

// The caption of every box; empty until the application sets its title.
void SetMessageBoxCaption(const std::string& caption);
// The window that a box belongs to (the main form), or none: it owns every box while it takes
// input; else a box is owned by the active window.
void SetMessageBoxOwner(HWND owner);

// Shows the boxes in place of the system while it exists (for tests); the display before comes
// back when it goes.
class MessageBoxDisplayOverride : ScopedAssignment<MessageBoxDisplay> {
 public:
  explicit MessageBoxDisplayOverride(MessageBoxDisplay display);
};

// A message box with the text, one OK button and no icon.
void ShowMessage(const std::string& text);

// The exception display: the exception's message with the error icon.
void ShowUnhandledException(const Exception& e);

// The exception's message as the exception display shows it: a full stop is appended to a
// non-empty message whose last character has a higher code than the full stop.
std::string ExceptionDisplayText(const std::string& message);
