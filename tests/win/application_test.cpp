// The application object: exception display, messages, the run loop and closing.
#include "winlib/application.h"

#include <gtest/gtest.h>

#include "tests/win/robot.h"
#include "tests/win/test_form.h"
#include "winlib/file_tests.h"
#include "winlib/image.h"
#include "winlib/layout.h"

namespace {

const Layout& SmallLayout() {
  static const Layout layout = {"SmallForm",
                                {{"BorderStyle", "bsNone"},
                                 {"Position", "poScreenCenter"},
                                 {"ClientWidth", "120"},
                                 {"ClientHeight", "80"},
                                 {"OnClose", "FormClose"}},
                                {{"Closer",
                                  "TImage",
                                  "",
                                  {{"Left", "0"},
                                   {"Top", "0"},
                                   {"Width", "20"},
                                   {"Height", "20"},
                                   {"OnClick", "CloseClick"}}},
                                 {"Thrower",
                                  "TImage",
                                  "",
                                  {{"Left", "40"},
                                   {"Top", "0"},
                                   {"Width", "20"},
                                   {"Height", "20"},
                                   {"OnClick", "ThrowClick"}}}}};
  return layout;
}

const wchar_t kTitle[] = L"Orvel2－Zembra导入工具";

void PostClick(HWND window, int x, int y) {
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

}  // namespace

TEST(ExceptionDisplay, AppendsAFullStopAfterCharactersAboveIt) {
  EXPECT_EQ(ExceptionDisplayText("Invalid data type for 'x'"), "Invalid data type for 'x'");
  EXPECT_EQ(ExceptionDisplayText("Bitmap image is not valid"), "Bitmap image is not valid.");
  EXPECT_EQ(ExceptionDisplayText("done."), "done.");
  EXPECT_EQ(ExceptionDisplayText("what!"), "what!");
  EXPECT_EQ(ExceptionDisplayText("x-"), "x-");
  EXPECT_EQ(ExceptionDisplayText("x1"), "x1.");
  EXPECT_EQ(ExceptionDisplayText(""), "");
  EXPECT_EQ(ExceptionDisplayText("导入失败"), "导入失败.");
  EXPECT_EQ(ExceptionDisplayText("\xE5\x5C"), "\xE5\x5C.");  // 錦 ends in the byte 0x5C
}

TEST(ExceptionDisplay, ShowsTheMessageWithTheTitleAndTheErrorIcon) {
  TApplication app;
  app.SetTitle(Narrow(kTitle));
  MessageBoxWatcher watcher(kTitle);
  app.ShowException(Exception("Bitmap image is not valid"));
  const MessageBoxSeen seen = watcher.Result();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text, L"Bitmap image is not valid.");
  EXPECT_TRUE(seen.hasIcon);
}

TEST(ShowMessage, HasTheTitleAsCaptionAndNoIcon) {
  TApplication app;
  app.SetTitle(Narrow(kTitle));
  MessageBoxWatcher watcher(kTitle);
  ShowMessage("您还没有选择要导入的书");
  const MessageBoxSeen seen = watcher.Result();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text, L"您还没有选择要导入的书");
  EXPECT_FALSE(seen.hasIcon);
}

TEST(Application, HandlerExceptionIsShownAndTheLoopGoesOnUntilTheMainFormCloses) {
  TApplication app;
  app.SetTitle(Narrow(kTitle));
  TTestForm* form = nullptr;
  app.CreateForm(form, SmallLayout());
  ASSERT_EQ(app.MainForm(), form);
  const HWND window = form->Handle();

  MessageBoxSeen seen;
  bool taskbarEntry = false;
  TestThread user([&] {
    for (int i = 0; i < 250 && !IsWindowVisible(window); ++i) Sleep(20);
    // The application window, captioned with the title, stands for the program.
    wchar_t caption[64] = L"";
    GetWindowTextW(app.Handle(), caption, 64);
    taskbarEntry = IsWindowVisible(app.Handle()) && std::wstring(caption) == kTitle &&
                   GetWindow(window, GW_OWNER) == app.Handle();
    MessageBoxWatcher watcher(kTitle);
    PostClick(window, 45, 5);  // the handler throws
    seen = watcher.Result();
    PostClick(window, 5, 5);  // closes the main form
  });
  app.Run();
  user.Join();

  EXPECT_TRUE(taskbarEntry);
  EXPECT_TRUE(seen.found);
  EXPECT_EQ(seen.text, L"handler failed.");
  EXPECT_TRUE(seen.hasIcon);
  EXPECT_TRUE(app.Terminated());
  EXPECT_EQ(form->events, (std::vector<std::string>{"Form.Close"}));
  // The window was centred on the screen when shown.
  EXPECT_EQ(form->Left(), (GetSystemMetrics(SM_CXSCREEN) - 120) / 2);
}

TEST(Application, ClosingAFormThatIsNotTheMainOneFreesIt) {
  TApplication app;
  TTestForm* main = nullptr;
  TTestForm* second = nullptr;
  app.CreateForm(main, SmallLayout());
  app.CreateForm(second, SmallLayout());
  EXPECT_EQ(app.MainForm(), main);
  EXPECT_EQ(app.ComponentCount(), 2);
  const HWND window = second->Handle();
  second->Close();
  app.ProcessMessages();
  EXPECT_EQ(app.ComponentCount(), 1);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(app.Terminated());
  // A close action of "none" keeps the window; any other ends the application.
  main->closeAction = caNone;
  main->Close();
  app.ProcessMessages();
  EXPECT_FALSE(app.Terminated());
  main->closeAction = caHide;
  main->Close();
  app.ProcessMessages();
  EXPECT_TRUE(app.Terminated());
}

TEST(Layouts, UnknownNamesAreErrors) {
  TApplication app;
  TTestForm* form = nullptr;
  const Layout badProperty = {"F", {}, {{"X", "TImage", "", {{"Colour", "clRed"}}}}};
  EXPECT_THROW(app.CreateForm(form, badProperty), ELayoutError);
  const Layout badMethod = {"F", {}, {{"X", "TImage", "", {{"OnClick", "NoSuchMethod"}}}}};
  EXPECT_THROW(app.CreateForm(form, badMethod), ELayoutError);
  const Layout badClass = {"F", {}, {{"X", "TButton", "", {}}}};
  EXPECT_THROW(app.CreateForm(form, badClass), ELayoutError);
  EXPECT_EQ(app.ComponentCount(), 0);
  EXPECT_EQ(app.MainForm(), nullptr);
}

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
