#include "core/browser_command.h"

std::string HandlerProgramPath(const std::string& handlerCommand) {
  if (!handlerCommand.empty() && handlerCommand[0] == '"') {
    const std::size_t close = handlerCommand.find('"', 1);
    return handlerCommand.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  }
  return handlerCommand.substr(0, handlerCommand.find(' '));
}

std::string BrowserCommandLine(const std::string& handlerCommand, const std::string& address) {
  return '"' + HandlerProgramPath(handlerCommand) + "\" " + address;
}
