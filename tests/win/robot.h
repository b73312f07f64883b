// Acting on real windows as a user would, from the test's side: finding message boxes,
// reading and answering them, clicking points of a window, reading list boxes and the
// registry.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/win/test_thread.h"

// GBK bytes (the system's code page) to UTF-16 and back, for the W calls.
std::wstring Wide(const std::string& gbk);
std::string Narrow(const std::wstring& text);

// Every wait below is stretched by ZEMBRA_TIMEOUT_SCALE, for a program under emulation; a wait
// for a condition ends as soon as it holds, so its limit is generous.
int ScaledTimeout(int milliseconds);
// Polls a condition, dispatching this thread's messages meanwhile, until it holds or the time
// is up; whether it held.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);
// A top-level window with this caption (and class, when given) that appears within the time.
HWND WaitForWindow(const std::wstring& caption, const wchar_t* className, int timeoutMs = 20000);
bool WaitForWindowGone(HWND window, int timeoutMs = 10000);
// The window that has the keyboard focus in the thread of a window, of any process.
HWND FocusOfThread(HWND window);

// A program that the test starts; it is ended when it goes if it still runs.
class Process {
 public:
  Process() = default;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process() { Kill(); }

  // Starts the program with the arguments in the folder (the test's own for an empty one), with
  // the show command that a shortcut passes when one is given.
  bool Start(const std::string& program, const std::string& folder = "",
             const std::string& arguments = "", int showCommand = -1);
  // The exit code once the process has ended within the time, or -1.
  long WaitForExit(int timeoutMs = 20000);
  DWORD Id() const { return info_.dwProcessId; }
  void Kill();

 private:
  PROCESS_INFORMATION info_ = {};
};

// The running test program's own path.
std::string ThisProgram();

struct MessageBoxSeen {
  bool found = false;
  std::wstring caption;
  std::wstring text;
  bool hasIcon = false;
};

// Reads a message box's text and whether it shows an icon.
MessageBoxSeen ReadMessageBox(HWND box);
// Reads a message box as ReadMessageBox does, then presses its OK button.
MessageBoxSeen AnswerMessageBox(HWND box);

// Waits on a thread of its own for one message box with the caption, reads it and presses
// OK; the test meanwhile does what opens the box on its own thread.
class MessageBoxWatcher {
 public:
  explicit MessageBoxWatcher(std::wstring caption, int timeoutMs = 10000);
  // Waits for the watcher to finish and returns what it saw.
  MessageBoxSeen Result();

 private:
  MessageBoxSeen seen_;  // before the thread, which writes it
  TestThread thread_;
};

// Clicks a point of a window's client area with real pointer input (left button).
void ClickClientPoint(HWND window, int x, int y);
// Moves the pointer onto a point of a window's client area, with real pointer input.
void MoveToClientPoint(HWND window, int x, int y);
// Presses and releases a key with real keyboard input, holding a modifier key (VK_SHIFT,
// VK_CONTROL) when one is given; the focused window gets it.
void PressKey(WORD key, WORD modifier = 0);
// Presses at one point and releases at another, with real pointer input.
void DragClientPoint(HWND window, int fromX, int fromY, int toX, int toY);

// The colour of a point of a window's client area, as the screen shows it.
COLORREF ScreenPixel(HWND window, int x, int y);

// Saves what the screen shows of a window as a 24-bit bitmap file: its client area, or the
// whole window with its frame.
bool SaveClientScreenshot(HWND window, const std::string& path);
bool SaveWindowScreenshot(HWND window, const std::string& path);

// The entries of a list box, read with the W calls (works across processes).
std::vector<std::wstring> ListBoxEntries(HWND listBox);

// Dispatches this thread's waiting messages for a while.
void PumpMessages(int milliseconds);

// Registry helpers below HKEY_CURRENT_USER.
void SetRegString(const std::string& keyPath, const std::string& name, const std::string& value,
                  DWORD type = REG_SZ);
void SetRegDword(const std::string& keyPath, const std::string& name, DWORD value);
bool RegKeyExists(HKEY root, const std::string& keyPath);
void DeleteRegTree(HKEY root, const std::string& keyPath);

// Sets a value of a key anywhere (HKEY_CLASSES_ROOT too) for a scope, and puts back what was
// there, or removes the value, when the scope ends, also when an assertion ends the test.
class ScopedRegistryValue {
 public:
  ScopedRegistryValue(HKEY root, const std::string& keyPath, const std::string& name,
                      const std::string& value);
  ~ScopedRegistryValue();
  ScopedRegistryValue(const ScopedRegistryValue&) = delete;
  ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;
  bool Set() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
  std::string name_;
  bool hadValue_ = false;
  DWORD savedType_ = REG_NONE;
  std::vector<BYTE> saved_;
};

// Points HKEY_CLASSES_ROOT of this process at a key below HKEY_CURRENT_USER for a scope.
class ScopedClassesRoot {
 public:
  explicit ScopedClassesRoot(const std::string& keyPath);
  ~ScopedClassesRoot();
  ScopedClassesRoot(const ScopedClassesRoot&) = delete;
  ScopedClassesRoot& operator=(const ScopedClassesRoot&) = delete;
};

// Makes a folder the current directory for a scope; the one before comes back when it ends,
// also when an assertion ends the test.
class ScopedCurrentDirectory {
 public:
  explicit ScopedCurrentDirectory(const std::string& folder);
  ~ScopedCurrentDirectory();
  ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
  ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;
  bool Changed() const { return changed_; }

 private:
  std::string old_;
  bool changed_ = false;
};

// The folder of the running test program, with a trailing backslash.
std::string ProgramFolder();
// Whole content of a file, or empty when it does not exist.
std::string ReadWholeFile(const std::string& path);
