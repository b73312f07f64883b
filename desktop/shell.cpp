#include "desktop/shell.h"

#include <vector>

#include "core/browser_command.h"
#include "winlib/system/registry.h"
#include "winlib/system/system_library.h"

namespace {

// The longest command line that Windows can start.
constexpr std::size_t kMaxCommandLine = 32767;

std::string ExpandEnvironment(const std::string& text) {
  const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
  if (needed == 0) return text;
  std::vector<char> expanded(needed + 1, '\0');
  const DWORD written = ExpandEnvironmentStringsA(text.c_str(), expanded.data(), needed + 1);
  if (written == 0 || written > needed + 1) return text;
  return std::string(expanded.data());
}

}  // namespace

int OpenWebAddress(const std::string& address) {
  std::string handler;
  DWORD type = REG_NONE;
  {
    TRegistry registry(KEY_READ);
    registry.SetRootKey(HKEY_CLASSES_ROOT);
    if (!registry.OpenKey("http\\shell\\open\\command", false)) return -1;
    if (registry.TryReadString("", &handler, &type) != TRegistry::ReadResult::kText) return -1;
  }
  std::string commandLine = BrowserCommandLine(handler, address);
  if (type == REG_EXPAND_SZ) commandLine = ExpandEnvironment(commandLine);
  if (commandLine.size() >= kMaxCommandLine) return -1;
  // A browser that cannot be started is not reported to the user; the caller learns of it.
  return WinExec(commandLine.c_str(), SW_SHOW) > 31 ? 0 : -1;
}

void ShowHtmlHelp(HWND owner, const char* file, UINT command, DWORD_PTR data) {
  using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
  // Kept once loaded and never freed: HTML Help's windows and threads may outlive WinMain. A
  // load that failed is tried again at the next call.
  static HMODULE control = nullptr;
  if (control == nullptr) control = SystemLibrary("hhctrl.ocx").KeepLoaded();
  if (control == nullptr) return;
  const auto htmlHelp = reinterpret_cast<HtmlHelpFunction>(
      reinterpret_cast<void*>(GetProcAddress(control, "HtmlHelpA")));
  if (htmlHelp != nullptr) htmlHelp(owner, file, command, data);
}
