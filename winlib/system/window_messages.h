// The component library's own window messages, numbered in this one place so that no two
// share a number. Each is posted to one of the library's own windows.
#pragma once

#include <windows.h>

enum LibraryMessage : UINT {
  // To the program window: give the activation it took on, once the system is done with it.
  kHandOnActivation = WM_APP + 1,
  // To a window: click the child of its client object whose id is wParam. A screen reader's
  // default action must not wait for what the click opens.
  kAccessibleClick,
};
