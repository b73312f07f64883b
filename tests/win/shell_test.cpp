// Starting the browser through the http handler, with the recorder standing for it, and
// loading the HTML Help control.
#include "desktop/shell.h"

#include <gtest/gtest.h>

#include "tests/common/temp_dir.h"
#include "tests/win/robot.h"

namespace {

const char kClassesKey[] = "Software\\ZembraTest\\Classes";

// HKEY_CLASSES_ROOT is redirected to a private key for the test, so the prefix's own http
// handler stays as it is.
class WebAddress : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteRegTree(HKEY_CURRENT_USER, kClassesKey);
    HKEY classes = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kClassesKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &classes, nullptr);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, classes), ERROR_SUCCESS);
    RegCloseKey(classes);
    // The browser lives in a folder with a blank in its name.
    ASSERT_TRUE(MakeDir(dir / "Program Files"));
    browser = dir / "Program Files\\web browser.exe";
    ASSERT_TRUE(CopyFileA((ProgramFolder() + "recorder.exe").c_str(), browser.c_str(), FALSE));
  }
  void TearDown() override {
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    DeleteRegTree(HKEY_CURRENT_USER, kClassesKey);
  }

  void SetHandler(const std::string& command, DWORD type = REG_SZ) {
    SetRegString(std::string(kClassesKey) + "\\http\\shell\\open\\command", "", command, type);
  }

  // The command lines the browser was started with, waiting for the first one.
  std::string Started() {
    WaitUntil([&] { return !ReadWholeFile(browser + ".log").empty(); });
    return ReadWholeFile(browser + ".log");
  }

  TempDir dir;
  std::string browser;
};

}  // namespace

TEST_F(WebAddress, StartsTheQuotedProgramPathWithTheAddress) {
  SetHandler("\"" + browser + "\" -osint -url \"%1\"");
  EXPECT_EQ(OpenWebAddress("http://example.org/zembra"), 0);
  EXPECT_EQ(Started(), "\"" + browser + "\" http://example.org/zembra\n");
}

TEST_F(WebAddress, ExpandableHandlerIsExpandedAfterTheAddressIsAppended) {
  SetEnvironmentVariableA("ZEMBRA_TEST_DIR", dir.Path().c_str());
  SetHandler("\"%ZEMBRA_TEST_DIR%Program Files\\web browser.exe\" \"%1\"", REG_EXPAND_SZ);
  EXPECT_EQ(OpenWebAddress("http://x/%ZEMBRA_TEST_DIR%"), 0);
  EXPECT_EQ(Started(), "\"" + browser + "\" http://x/" + dir.Path() + "\n");
}

TEST_F(WebAddress, LongAddressesArePassedWholeAndOverlongOnesRefused) {
  SetHandler("\"" + browser + "\" %1");
  const std::string address = "http://example.org/" + std::string(600, 'a');
  EXPECT_EQ(OpenWebAddress(address), 0);
  EXPECT_EQ(Started(), "\"" + browser + "\" " + address + "\n");

  DeleteFileA((browser + ".log").c_str());
  EXPECT_EQ(OpenWebAddress("http://example.org/" + std::string(40000, 'b')), -1);
  Sleep(500);
  EXPECT_EQ(ReadWholeFile(browser + ".log"), "");
}

TEST_F(WebAddress, NoHandlerGivesMinusOne) {
  EXPECT_EQ(OpenWebAddress("http://example.org/"), -1);
  // A handler key without its default value is no handler either.
  SetRegString(std::string(kClassesKey) + "\\http\\shell\\open\\command", "other", "x");
  EXPECT_EQ(OpenWebAddress("http://example.org/"), -1);
  // Nor is a default value that is not text; the read raises nothing.
  SetRegDword(std::string(kClassesKey) + "\\http\\shell\\open\\command", "", 0x22);
  EXPECT_EQ(OpenWebAddress("http://example.org/"), -1);
  // Nor one that Windows cannot start.
  SetRegString(std::string(kClassesKey) + "\\http\\shell\\open\\command", "",
               "\"C:\\no such\\browser.exe\" %1");
  EXPECT_EQ(OpenWebAddress("http://example.org/"), -1);
}

TEST(HtmlHelp, LoadsTheControlFromTheSystemFolderOnce) {
  ShowHtmlHelp(nullptr, "Z:\\no\\such\\help.chm", 0, 0);
  const HMODULE module = GetModuleHandleA("hhctrl.ocx");
  ASSERT_NE(module, nullptr);
  char path[MAX_PATH] = "", system[MAX_PATH] = "";
  GetModuleFileNameA(module, path, MAX_PATH);
  GetSystemDirectoryA(system, MAX_PATH);
  EXPECT_EQ(CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path, -1,
                           (std::string(system) + "\\hhctrl.ocx").c_str(), -1),
            CSTR_EQUAL)
      << path;
  ShowHtmlHelp(nullptr, "Z:\\no\\such\\help.chm", 0, 0);
  EXPECT_EQ(GetModuleHandleA("hhctrl.ocx"), module);
}

TEST(HtmlHelp, WithoutTheControlNothingHappens) {
  // A copy of this test program for which Wine's settings refuse to load the control.
  TempDir dir;
  const std::string copy = dir / "no_hhctrl_tests.exe";
  ASSERT_TRUE(CopyFileA(ThisProgram().c_str(), copy.c_str(), FALSE));
  const std::string overrides = "Software\\Wine\\AppDefaults\\no_hhctrl_tests.exe\\DllOverrides";
  SetRegString(overrides, "hhctrl.ocx", "");
  SetEnvironmentVariableA("ZEMBRA_HTMLHELP_CHILD", "1");
  Process child;
  const bool started = child.Start(copy, "", "--gtest_filter=HtmlHelpChild.*");
  SetEnvironmentVariableA("ZEMBRA_HTMLHELP_CHILD", nullptr);
  const long code = started ? child.WaitForExit(30000) : -1;
  DeleteRegTree(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\no_hhctrl_tests.exe");
  ASSERT_TRUE(started);
  EXPECT_EQ(code, 0);
}

TEST(HtmlHelpChild, ControlMissing) {
  if (GetEnvironmentVariableA("ZEMBRA_HTMLHELP_CHILD", nullptr, 0) == 0) GTEST_SKIP();
  ShowHtmlHelp(nullptr, "help.chm", 0, 0);
  ShowHtmlHelp(nullptr, "help.chm", 0, 0);
  EXPECT_EQ(GetModuleHandleA("hhctrl.ocx"), nullptr);
}
