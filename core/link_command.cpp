#include "core/link_command.h"

namespace {
bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}
}  // namespace

LinkCommand ParseLinkCommand(const std::string& text, const std::string& helpFile,
                             bool mailInCurrentFolder) {
  LinkCommand command;
  if (StartsWith(text, "web-")) {
    command = {LinkCommand::kWeb, text.substr(4)};
  } else if (StartsWith(text, "help-")) {
    const std::string page = text.substr(5);
    command.kind = LinkCommand::kHelp;
    command.argument = text == "help-" ? helpFile : helpFile + "::htmlsrc/" + page + ".htm";
  } else if (StartsWith(text, "exe-")) {
    command = {LinkCommand::kProgram, text.substr(4)};
  } else if (StartsWith(text, "mail-")) {
    command = {LinkCommand::kMail,
               (mailInCurrentFolder ? "mailto.exe " : "..\\mailto.exe ") + text.substr(5)};
  }
  return command;
}
