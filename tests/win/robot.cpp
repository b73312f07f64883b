#include "tests/win/robot.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr int kTextId = 0xFFFF;  // the text of a message box
constexpr int kIconId = 0x0440;  // the icon of a message box
}  // namespace

std::wstring Wide(const std::string& gbk) {
  if (gbk.empty()) return std::wstring();
  const int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), out.data(), n);
  return out;
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

int ScaledTimeout(int milliseconds) {
  const char* scale = std::getenv("ZEMBRA_TIMEOUT_SCALE");
  const int factor = scale != nullptr ? std::atoi(scale) : 1;
  return milliseconds * (factor > 1 ? factor : 1);
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  // Measured by the clock, not by counting polls: a loaded machine stretches each poll.
  const DWORD begun = GetTickCount();
  const DWORD limit = static_cast<DWORD>(ScaledTimeout(timeoutMs));
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - begun > limit) return false;
    PumpMessages(10);
  }
}

HWND WaitForWindow(const std::wstring& caption, const wchar_t* className, int timeoutMs) {
  HWND window = nullptr;
  WaitUntil(
      [&] {
        window = FindWindowW(className, caption.c_str());
        return window != nullptr && IsWindowVisible(window);
      },
      timeoutMs);
  return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

bool WaitForWindowGone(HWND window, int timeoutMs) {
  return WaitUntil([&] { return !IsWindow(window); }, timeoutMs);
}

HWND FocusOfThread(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus
                                                                            : nullptr;
}

bool Process::Start(const std::string& program, const std::string& folder,
                    const std::string& arguments, int showCommand) {
  Kill();
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  if (showCommand >= 0) {
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(showCommand);
  }
  std::string command = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &si, &info_)) {
    info_ = {};
    return false;
  }
  CloseHandle(info_.hThread);
  return true;
}

long Process::WaitForExit(int timeoutMs) {
  if (info_.hProcess == nullptr) return -1;
  const DWORD limit = static_cast<DWORD>(ScaledTimeout(timeoutMs));
  if (WaitForSingleObject(info_.hProcess, limit) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return static_cast<long>(code);
}

void Process::Kill() {
  if (info_.hProcess == nullptr) return;
  if (WaitForSingleObject(info_.hProcess, 0) != WAIT_OBJECT_0) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hProcess);
  info_ = {};
}

std::string ThisProgram() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

MessageBoxSeen ReadMessageBox(HWND box) {
  MessageBoxSeen seen;
  if (box == nullptr) return seen;
  seen.found = true;
  wchar_t buffer[4096] = L"";
  GetWindowTextW(box, buffer, 4096);
  seen.caption = buffer;
  buffer[0] = L'\0';
  GetDlgItemTextW(box, kTextId, buffer, 4096);
  seen.text = buffer;
  const HWND icon = GetDlgItem(box, kIconId);
  seen.hasIcon =
      icon != nullptr && IsWindowVisible(icon) && SendMessageW(icon, STM_GETICON, 0, 0) != 0;
  return seen;
}

MessageBoxSeen AnswerMessageBox(HWND box) {
  const MessageBoxSeen seen = ReadMessageBox(box);
  if (!seen.found) return seen;
  const HWND ok = GetDlgItem(box, IDOK);
  if (ok != nullptr) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
  } else {
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
  }
  return seen;
}

MessageBoxWatcher::MessageBoxWatcher(std::wstring caption, int timeoutMs)
    : thread_([this, caption, timeoutMs] {
        seen_ = AnswerMessageBox(WaitForWindow(caption, L"#32770", timeoutMs));
      }) {}

MessageBoxSeen MessageBoxWatcher::Result() {
  thread_.Join();
  return seen_;
}

namespace {
void SendMouse(DWORD flags) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

}  // namespace

void ClickClientPoint(HWND window, int x, int y) {
  DragClientPoint(window, x, y, x, y);
}

void MoveToClientPoint(HWND window, int x, int y) {
  POINT at = {x, y};
  ClientToScreen(window, &at);
  SetCursorPos(at.x, at.y);
  SendMouse(MOUSEEVENTF_MOVE);
  PumpMessages(50);
}

void PressKey(WORD key, WORD modifier) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  INPUT held = input;
  held.ki.wVk = modifier;
  if (modifier != 0) SendInput(1, &held, sizeof held);
  input.ki.wVk = key;
  SendInput(1, &input, sizeof input);
  Sleep(50);
  input.ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &input, sizeof input);
  held.ki.dwFlags = KEYEVENTF_KEYUP;
  if (modifier != 0) SendInput(1, &held, sizeof held);
  Sleep(50);
}

void DragClientPoint(HWND window, int fromX, int fromY, int toX, int toY) {
  // The input comes from a thread of its own while this one keeps dispatching: a press in
  // the title strip enters the system's move loop, which only ends with the release.
  POINT from = {fromX, fromY}, to = {toX, toY};
  ClientToScreen(window, &from);
  ClientToScreen(window, &to);
  std::atomic<bool> done{false};
  TestThread user([&] {
    SetCursorPos(from.x, from.y);
    SendMouse(MOUSEEVENTF_MOVE);
    Sleep(100);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(100);
    if (to.x != from.x || to.y != from.y) {
      for (int step = 1; step <= 4; ++step) {
        SetCursorPos(from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4);
        SendMouse(MOUSEEVENTF_MOVE);
        Sleep(50);
      }
    }
    SendMouse(MOUSEEVENTF_LEFTUP);
    Sleep(100);
    done = true;
  });
  while (!done) PumpMessages(10);
  user.Join();
  PumpMessages(50);
}

std::vector<std::wstring> ListBoxEntries(HWND listBox) {
  std::vector<std::wstring> entries;
  const LRESULT count = SendMessageW(listBox, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    // Across the ANSI list's code page the length may be larger than the text: LB_GETTEXT's
    // count is the one that holds.
    const LRESULT length = SendMessageW(listBox, LB_GETTEXTLEN, i, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied >= 0 && copied <= length ? static_cast<std::size_t>(copied) : 0);
    entries.push_back(text);
  }
  return entries;
}

void PumpMessages(int milliseconds) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  do {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(5);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}

void SetRegString(const std::string& keyPath, const std::string& name, const std::string& value,
                  DWORD type) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                  nullptr);
  RegSetValueExA(key, name.empty() ? nullptr : name.c_str(), 0, type,
                 reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
}

void SetRegDword(const std::string& keyPath, const std::string& name, DWORD value) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                  nullptr);
  RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                 sizeof value);
  RegCloseKey(key);
}

bool RegKeyExists(HKEY root, const std::string& keyPath) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void DeleteRegTree(HKEY root, const std::string& keyPath) {
  RegDeleteTreeA(root, keyPath.c_str());
  RegDeleteKeyA(root, keyPath.c_str());
}

ScopedRegistryValue::ScopedRegistryValue(HKEY root, const std::string& keyPath,
                                         const std::string& name, const std::string& value)
    : name_(name) {
  if (RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                      nullptr) != ERROR_SUCCESS) {
    key_ = nullptr;
    return;
  }
  const char* valueName = name_.empty() ? nullptr : name_.c_str();
  DWORD size = 0;
  if (RegQueryValueExA(key_, valueName, nullptr, &savedType_, nullptr, &size) == ERROR_SUCCESS) {
    saved_.resize(size);
    hadValue_ = RegQueryValueExA(key_, valueName, nullptr, &savedType_, saved_.data(), &size) ==
                ERROR_SUCCESS;
    saved_.resize(size);
  }
  RegSetValueExA(key_, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
}

ScopedRegistryValue::~ScopedRegistryValue() {
  if (key_ == nullptr) return;
  const char* valueName = name_.empty() ? nullptr : name_.c_str();
  if (hadValue_) {
    RegSetValueExA(key_, valueName, 0, savedType_, saved_.data(),
                   static_cast<DWORD>(saved_.size()));
  } else {
    RegDeleteValueA(key_, valueName);
  }
  RegCloseKey(key_);
}

ScopedClassesRoot::ScopedClassesRoot(const std::string& keyPath) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &key,
                      nullptr) == ERROR_SUCCESS) {
    RegOverridePredefKey(HKEY_CLASSES_ROOT, key);
    RegCloseKey(key);
  }
}

ScopedClassesRoot::~ScopedClassesRoot() {
  RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
}

ScopedCurrentDirectory::ScopedCurrentDirectory(const std::string& folder) {
  char old[MAX_PATH] = "";
  if (GetCurrentDirectoryA(MAX_PATH, old) == 0) return;
  old_ = old;
  changed_ = SetCurrentDirectoryA(folder.c_str()) != FALSE;
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() {
  if (changed_) SetCurrentDirectoryA(old_.c_str());
}

std::string ProgramFolder() {
  const std::string path = ThisProgram();
  return path.substr(0, path.find_last_of('\\') + 1);
}

std::string ReadWholeFile(const std::string& path) {
  std::string content;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) content.append(buffer, n);
    std::fclose(f);
  }
  return content;
}

COLORREF ScreenPixel(HWND window, int x, int y) {
  POINT p = {x, y};
  ClientToScreen(window, &p);
  const HDC screen = GetDC(nullptr);
  const COLORREF color = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  return color;
}

namespace {

bool SaveScreenRect(const RECT& rect, const std::string& path) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  const int rowBytes = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(rowBytes * height);
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  if (bits != nullptr) {
    bytes.append(static_cast<const char*>(bits), static_cast<std::size_t>(rowBytes * height));
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr || bits == nullptr) {
    if (f != nullptr) std::fclose(f);
    return false;
  }
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return (std::fclose(f) == 0) && ok;
}

}  // namespace

bool SaveClientScreenshot(HWND window, const std::string& path) {
  RECT client;
  GetClientRect(window, &client);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  OffsetRect(&client, origin.x, origin.y);
  return SaveScreenRect(client, path);
}

bool SaveWindowScreenshot(HWND window, const std::string& path) {
  RECT frame;
  GetWindowRect(window, &frame);
  return SaveScreenRect(frame, path);
}
