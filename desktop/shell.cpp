#include "desktop/shell.h"

#include <vector>

#include "core/browser_command.h"

namespace {

// The longest command line that Windows can start.
constexpr std::size_t kMaxCommandLine = 32767;

class RegistryKey {
 public:
  RegistryKey(HKEY root, const char* path) {
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~RegistryKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// The default value of a key as text, with its type; false when it cannot be read.
bool ReadDefaultValue(HKEY key, std::string* text, DWORD* type) {
  DWORD size = 0;
  if (RegQueryValueExA(key, nullptr, nullptr, type, nullptr, &size) != ERROR_SUCCESS) {
    return false;
  }
  std::vector<char> data(size + 1, '\0');
  if (RegQueryValueExA(key, nullptr, nullptr, type, reinterpret_cast<BYTE*>(data.data()), &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  *text = std::string(data.data());
  return true;
}

std::string ExpandEnvironment(const std::string& text) {
  const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
  if (needed == 0) return text;
  std::vector<char> expanded(needed + 1, '\0');
  ExpandEnvironmentStringsA(text.c_str(), expanded.data(), needed + 1);
  return std::string(expanded.data());
}

}  // namespace

int OpenWebAddress(const std::string& address) {
  std::string handler;
  DWORD type = REG_NONE;
  {
    RegistryKey key(HKEY_CLASSES_ROOT, "http\\shell\\open\\command");
    if (key.Get() == nullptr || !ReadDefaultValue(key.Get(), &handler, &type)) return -1;
  }
  std::string commandLine = BrowserCommandLine(handler, address);
  if (type == REG_EXPAND_SZ) commandLine = ExpandEnvironment(commandLine);
  if (commandLine.size() >= kMaxCommandLine) return -1;
  WinExec(commandLine.c_str(), SW_SHOW);
  return 0;
}

void ShowHtmlHelp(HWND owner, const char* file, UINT command, DWORD_PTR data) {
  using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
  static HMODULE module = nullptr;
  if (module == nullptr) {
    // Only the system's own copy: never one found beside the user's files.
    char system[MAX_PATH];
    const UINT length = GetSystemDirectoryA(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    module = LoadLibraryA((std::string(system) + "\\hhctrl.ocx").c_str());
    if (module == nullptr) return;
  }
  const auto htmlHelp = reinterpret_cast<HtmlHelpFunction>(
      reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpA")));
  if (htmlHelp != nullptr) htmlHelp(owner, file, command, data);
}
