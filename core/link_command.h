// The commands that link labels carry: "web-", "help-", "exe-" and "mail-".
#pragma once

#include <string>

struct LinkCommand {
  enum Kind { kNone, kWeb, kHelp, kProgram, kMail };
  Kind kind = kNone;
  // The address (web), help path (help) or command line (program, mail).
  std::string argument;
};

// The command of a label's text; prefixes count only at the very start, in this letter case.
// mailInCurrentFolder tells whether "mailto.exe" lies in the current folder.
LinkCommand ParseLinkCommand(const std::string& text, const std::string& helpFile,
                             bool mailInCurrentFolder);
