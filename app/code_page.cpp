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
      L"请按 Win+R，输入 intl.cpl 后按回车，打开区域设置：\n"
      L"Windows Vista 及以后：在“管理”选项卡上点“更改系统区域设置”，"
      L"把“当前系统区域设置”设为“中文(简体，中国)”，"
      L"不要勾选“Beta 版: 使用 Unicode UTF-8 提供全球语言支持”；\n"
      L"Windows XP：在“高级”选项卡上，把“非 Unicode 程序的语言”设为“中文(中国)”。\n"
      L"然后重新启动计算机。\n\n"
      L"This tool needs the system's code page for non-Unicode programs to be 936 (Simplified "
      L"Chinese, GBK); this system uses code page " +
      current +
      L", so the tool can neither show "
      L"its texts nor find the books.\n\n"
      L"Press Win+R, type intl.cpl and press Enter.\nWindows Vista and later: on the "
      L"Administrative tab, click Change system locale and set the current system locale to "
      L"Chinese (Simplified, China) (Chinese (Simplified, PRC) on older versions), leaving "
      L"\"Beta: Use Unicode UTF-8 for worldwide language support\" unchecked.\nWindows XP: on the "
      L"Advanced tab, set the language for non-Unicode programs to Chinese (PRC).\nThen restart "
      L"the computer.";
  MessageBoxW(nullptr, text.c_str(), L"Orvel2－Zembra导入工具", MB_OK | MB_ICONERROR);
}
