// File and folder existence.
#include "winlib/system/files.h"

#include <windows.h>

#include <gtest/gtest.h>

TEST(FileTests, FilesAndFoldersAreTold) {
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string folder = windows;
  EXPECT_TRUE(DirectoryExists(folder));
  EXPECT_FALSE(FileExists(folder));
  EXPECT_TRUE(FileExists(folder + "\\win.ini"));
  EXPECT_FALSE(DirectoryExists(folder + "\\win.ini"));
  EXPECT_FALSE(FileExists(folder + "\\no such file"));
  EXPECT_FALSE(DirectoryExists(folder + "\\no such file"));
}
