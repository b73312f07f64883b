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
  // The settings by the names Windows shows them, Chinese and English; on an English XP
  // without its East Asian files only the English half can be read, so it is complete.
  const std::wstring text =
      L"本工具需要系统的“非 Unicode 程序的语言”为中文(简体)，即代码页 936 (GBK)；"
      L"本系统现在是代码页 " +
      current +
      L"，工具无法正常显示文字，也找不到书本。\n\n"
      L"修改这项设置要有管理员权限，改完要重新启动计算机。"
      L"请按 Win+R，输入 intl.cpl 后按回车，打开区域设置：\n"
      L"Windows Vista 及以后：在“管理”选项卡上点“更改系统区域设置”（用户帐户控制询问时点“是”），"
      L"把“当前系统区域设置”设为“中文(简体，中国)”，"
      L"不要勾选“Beta 版: 使用 Unicode UTF-8 提供全球语言支持”，点“确定”，重新启动计算机。\n"
      L"Windows XP：“高级”选项卡上“非 Unicode 程序的语言”下面的列表里没有“中文(中国)”时，"
      L"先在“语言”选项卡上勾选“为东亚语言安装文件”，点“应用”（可能要放入 Windows XP 的安装光盘），"
      L"重新启动计算机，再按 Win+R 打开 intl.cpl。然后在“高级”选项卡上把这个列表设为“中文(中国)”，"
      L"点“确定”，重新启动计算机。\n\n"
      L"This tool needs the system's code page for non-Unicode programs to be 936 (Simplified "
      L"Chinese, GBK); this system uses code page " +
      current +
      L", so the tool can neither show its texts nor find the books.\n\n"
      L"The change needs administrator rights and a restart. Press Win+R, type intl.cpl and "
      L"press Enter.\n"
      L"Windows Vista and later: on the Administrative tab, click \"Change system locale...\" "
      L"(answer Yes if User Account Control asks), set \"Current system locale\" to \"Chinese "
      L"(Simplified, China)\" (on Vista, 7 and 8 its name ends in PRC), leave \"Beta: Use "
      L"Unicode UTF-8 for worldwide language support\" unchecked, click OK and restart the "
      L"computer.\n"
      L"Windows XP: if the list under \"Language for non-Unicode programs\" on the Advanced tab "
      L"has no \"Chinese (PRC)\", first check \"Install files for East Asian languages\" on the "
      L"Languages tab, click Apply (Windows may ask for the Windows XP CD), restart the computer "
      L"and open intl.cpl again with Win+R. Then set that list on the Advanced tab to \"Chinese "
      L"(PRC)\", click OK and restart the computer.";
  MessageBoxW(nullptr, text.c_str(), L"Orvel2－Zembra导入工具", MB_OK | MB_ICONERROR);
}
