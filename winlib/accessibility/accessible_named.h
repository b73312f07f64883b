// A system control (the list box) whose label has no window: screen readers find no name for
// it. Its client object is the system's own, told under the name of the label.
#pragma once

#include <windows.h>

#include <string>

// The answer to WM_GETOBJECT for such a control: for OBJID_CLIENT the system's object with the
// name; 0 for every other object, and when the system gives no object.
LRESULT AnswerNamedClient(HWND window, const std::string& name, WPARAM wParam, LPARAM lParam);
