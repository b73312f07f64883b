// Starting the web browser and showing HTML Help.
#pragma once

#include <windows.h>

#include <string>

// Starts the program registered for http with the address: 0 when it was started, -1 when
// no handler command could be read, the command line would be too long to start or Windows
// could not start it.
int OpenWebAddress(const std::string& address);

// Calls HtmlHelpA of the HTML Help control with the arguments unchanged; silent when the
// control or its entry is missing. The control is loaded from the system folder, once.
void ShowHtmlHelp(HWND owner, const char* file, UINT command, DWORD_PTR data);
