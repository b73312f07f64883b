// Drives the import tool as a user would, for the demo: starts it, screenshots its window and
// the import button under the pointer, imports the selected book, screenshots the message,
// and closes the tool. Given a name, it
// only saves the window's screenshot under that name and closes the tool.
// Usage: demo_driver TOOL_EXE START_FOLDER OUTPUT_FOLDER [WINDOW_SHOT_NAME]
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/win/robot.h"

namespace {

bool WriteUtf8(const std::string& path, const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), n, nullptr, nullptr);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  return std::fclose(f) == 0;
}

int Fail(const char* what) {
  std::fprintf(stderr, "demo: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    return Fail("usage: demo_driver TOOL_EXE START_FOLDER OUTPUT_FOLDER [WINDOW_SHOT_NAME]");
  }
  const std::string tool = argv[1], start = argv[2], out = std::string(argv[3]) + "\\";
  const bool windowOnly = argc == 5;

  Process process;
  if (!process.Start(tool, start)) return Fail("cannot start the tool");
  const HWND window = WaitForWindow(L"Orvel2 Lexor", L"ZembraWinControl", 30000);
  if (window == nullptr) return Fail("the tool's window did not appear");
  PumpMessages(800);
  if (windowOnly) {
    RECT client;
    GetClientRect(window, &client);
    std::printf("The window is %ld x %ld.\n", client.right, client.bottom);
    SaveClientScreenshot(window, out + argv[4] + ".bmp");
    PostMessageW(window, WM_CLOSE, 0, 0);
    return process.WaitForExit() == 0 ? 0 : Fail("the tool did not end");
  }
  const HWND list = FindWindowExW(window, nullptr, L"ListBox", nullptr);
  std::printf("The tool lists:\n");
  for (const std::wstring& entry : ListBoxEntries(list)) {
    std::printf("  %s\n", Narrow(entry).c_str());
  }
  SaveClientScreenshot(window, out + "window.bmp");

  // The pointer on the import button shows its hover picture, when the skin has one.
  MoveToClientPoint(window, 164 + 37, 340 + 11);
  PumpMessages(500);
  SaveClientScreenshot(window, out + "hover.bmp");

  // The first book is selected; press the import button.
  ClickClientPoint(window, 164 + 37, 340 + 11);
  const HWND box = WaitForWindow(L"Orvel2－Zembra导入工具", L"#32770", 30000);
  if (box == nullptr) return Fail("no message after the import");
  PumpMessages(500);
  SaveWindowScreenshot(box, out + "success.bmp");
  const MessageBoxSeen seen = AnswerMessageBox(box);
  WriteUtf8(out + "message.txt", seen.text);

  // Close the tool with its exit button.
  PumpMessages(300);
  ClickClientPoint(window, 289 + 37, 340 + 11);
  const long code = process.WaitForExit();
  if (code < 0) return Fail("the tool did not end");
  std::printf("The tool ended with exit code %ld.\n", code);
  return code == 0 ? 0 : 1;
}
