// The tool's own texts, as the user sees them.
#pragma once

#include <string>

inline constexpr char kApplicationTitle[] = "Orvel2－Zembra导入工具";

// What screen readers call the close picture (×): its hint, "退出", is the exit button's name.
inline constexpr char kCloseButtonName[] = "关闭";

// The download page of the course program, opened by the window's download link.
inline constexpr char kDownloadPage[] = "http://www.zembra21.com/download.html";

inline constexpr char kMessageNoOrvel[] =
    "您需要安装有正版的《Orvel2Pelmar》或其共享版，才能使用本资料";
inline constexpr char kMessageNoSelection[] = "您还没有选择要导入的书";
inline constexpr char kMessageNoBooks[] =
    "您没有安装《21天免费精通Zembra》，或没有将本导入程序拷贝到《21天免费精通Zembra》的安装文件"
    "夹下";

inline std::string ImportSucceededMessage(const std::string& listEntry) {
  return "《" + listEntry + "》导入成功。重新启动《Orvel2》后，在自建书库里可以看到";
}

inline std::string ImportFailedMessage(const std::string& listEntry) {
  return "《" + listEntry + "》导入失败";
}
