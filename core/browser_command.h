// The command line that starts the registered web browser with an address.
#pragma once

#include <string>

// The program path of an http handler command: the text inside its leading quotes, or, for a
// command without them, its text up to the first blank.
std::string HandlerProgramPath(const std::string& handlerCommand);

// The quoted program path, one blank and the address; the handler's own arguments are dropped.
// Quoting keeps a path with blanks from starting another program.
std::string BrowserCommandLine(const std::string& handlerCommand, const std::string& address);
