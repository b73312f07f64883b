// Message boxes of the application: ShowMessage and the exception display, modal, with one OK
// button and the application's title as caption. What shows them is the application's display,
// which a test may replace.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class Exception;

// Shows a modal message box and returns the button that answered it.
using MessageBoxDisplay =
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT type)>;

// The system's message box.
int SystemMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);

// A message box with the text, one OK button and no icon, captioned with the title.
void ShowMessage(const std::string& text);

// The application's exception display, when there is an application; else nothing is shown.
void ShowUnhandledException(const Exception& e);

// The exception's message as the exception display shows it: a full stop is appended to a
// non-empty message whose last character has a higher code than the full stop.
std::string ExceptionDisplayText(const std::string& message);
