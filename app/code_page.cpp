#include "app/code_page.h"

#include <windows.h>

#include <string>

bool SystemCodePageIsGbk() {
  return GetACP() == kGbkCodePage;
}

void ExplainCodePage() {
  // Digits by hand: the wide formatting of the C library is more than one number needs.
  std::wstring current;
  for (UINT page = GetACP(); current.empty() || page != 0; page /= 10) {
    current.insert(current.begin(), static_cast<wchar_t>(L'0' + page % 10));
  }
  const std::wstring text =
      L"本工具需要系统的“非 Unicode 程序的语言”为中文(简体)，即代码页 936 (GBK)；"
      L"本系统现在是代码页 " +
      current +
      L"，工具无法正常显示文字，也找不到书本。\n\n"
      L"请打开“控制面板 → 区域 → 管理 → 更改系统区域设置”"
      L"（Windows XP：“控制面板 → 区域和语言选项 → 高级”），"
      L"把“非 Unicode 程序的语言”设为“中文(简体，中国)”，"
      L"不要勾选“Beta 版: 使用 Unicode UTF-8 提供全球语言支持”，然后重新启动计算机。\n\n"
      L"This tool needs the system's code page for non-Unicode programs to be 936 (Simplified "
      L"Chinese, GBK); this system uses code page " +
      current +
      L", so the tool can neither show "
      L"its texts nor find the books.\n\n"
      L"Open Control Panel > Region > Administrative > Change system locale (Windows XP: "
      L"Control Panel > Regional and Language Options > Advanced), set the language for "
      L"non-Unicode programs to Chinese (Simplified, China), leave \"Beta: Use Unicode UTF-8 for "
      L"worldwide language support\" unchecked, and restart the computer.";
  MessageBoxW(nullptr, text.c_str(), L"Orvel2－Zembra导入工具", MB_OK | MB_ICONERROR);
}
