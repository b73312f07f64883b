// The application object: exception display, messages, the run loop and closing.
#include "winlib/application/application.h"

#include <gtest/gtest.h>

#include "tests/win/robot.h"
#include "tests/win/test_form.h"
#include "winlib/application/layout.h"
#include "winlib/application/program_window.h"
#include "winlib/controls/image.h"

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

// The program window with a shown main form, as Run leaves them; message boxes are recorded
// rather than shown.
class ProgramWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    app.SetTitle(Narrow(kTitle));
    app.CreateForm(form, SmallLayout());
    ASSERT_NE(app.ProgramWindow(), nullptr);
    entry = app.Handle();
    ASSERT_TRUE(app.ProgramWindow()->ShowAsStarted());
    form->Show();
    Settle();
  }
  void TearDown() override {
    if (box != nullptr) DestroyWindow(box);
  }

  void Settle() {
    WaitUntil([&] {
      app.ProcessMessages();
      return true;
    });
  }
  // A box as a message box is to Windows: owned by the form, which it disables, and not yet
  // activated (so the form has no popup that was last active).
  void OpenBox() {
    box = CreateWindowExA(0, "STATIC", "box", WS_POPUP | WS_CAPTION, 10, 10, 100, 50,
                          form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(box, nullptr);
    ShowWindow(box, SW_SHOWNOACTIVATE);
    EnableWindow(form->Handle(), FALSE);
  }
  void CloseBox() {
    EnableWindow(form->Handle(), TRUE);
    DestroyWindow(box);
    box = nullptr;
  }
  bool Active(HWND window) {
    return WaitUntil([&] {
      app.ProcessMessages();
      return GetActiveWindow() == window;
    });
  }

  std::vector<HWND> owners;  // of the boxes shown
  const MessageBoxDisplayOverride display{
      [this](HWND owner, const std::string&, const std::string&, UINT) {
        owners.push_back(owner);
        return IDOK;
      }};
  TApplication app;
  TTestForm* form = nullptr;
  HWND entry = nullptr;
  HWND box = nullptr;
};

// Records whether the program window was the active window when it was told to minimise.
struct MinimiseWatch {
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE) {
      activeWhenMinimised = GetActiveWindow() == window;
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
  }
  static WNDPROC previous;
  static bool activeWhenMinimised;
};
WNDPROC MinimiseWatch::previous = nullptr;
bool MinimiseWatch::activeWhenMinimised = false;

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
  // A form freed by hand is forgotten: the taskbar's Close then finds no form to close.
  delete main;
  EXPECT_EQ(app.MainForm(), nullptr);
  SendMessageA(app.Handle(), WM_CLOSE, 0, 0);
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

// Windows' GetLastActivePopup gives a form owned by the program window back unchanged: the box
// that the form waits for is found by ownership, when the taskbar activates the program and
// when Close on the taskbar asks for the box.
TEST_F(ProgramWindow, TheBoxThatTheFormWaitsForIsFoundByOwnership) {
  ASSERT_TRUE(Active(form->Handle()));
  OpenBox();
  // A tooltip that the form owns, shown over the box, is no box.
  const HWND tip = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "STATIC", "tip", WS_POPUP, 0,
                                   0, 10, 10, form->Handle(), nullptr, nullptr, nullptr);
  ShowWindow(tip, SW_SHOWNOACTIVATE);
  EXPECT_EQ(TProgramWindow::OpenBoxOf(form->Handle()), box);
  DestroyWindow(tip);
  SetActiveWindow(entry);  // the program picked on the taskbar
  EXPECT_TRUE(Active(box)) << "the keys stay on the program window";
  CloseBox();
  ASSERT_TRUE(Active(form->Handle()));

  OpenBox();
  SendMessageA(entry, WM_CLOSE, 0, 0);  // Close on the taskbar
  EXPECT_TRUE(Active(box));
  EXPECT_TRUE(form->events.empty()) << "the form closed under its box";
  EXPECT_FALSE(app.Terminated());
  CloseBox();
  // Without a box the form closes as with its exit button.
  SendMessageA(entry, WM_CLOSE, 0, 0);
  Settle();
  EXPECT_EQ(form->events, (std::vector<std::string>{"Form.Close"}));
  EXPECT_TRUE(app.Terminated());
}

// The form's own minimise makes the program window active first: Windows hides the forms that
// a window owns when it minimises only when that window is the active one.
TEST_F(ProgramWindow, TheFormsMinimiseIsTheProgramsAndAMaximiseHasNoSize) {
  ASSERT_TRUE(Active(form->Handle()));
  MinimiseWatch::previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      entry, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MinimiseWatch::Procedure)));
  SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  SetWindowLongPtrA(entry, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MinimiseWatch::previous));
  EXPECT_TRUE(MinimiseWatch::activeWhenMinimised);
  EXPECT_TRUE(IsIconic(entry));
  EXPECT_FALSE(IsWindowVisible(form->Handle()));

  ShowWindow(entry, SW_SHOWMAXIMIZED);
  Settle();
  RECT r;
  ASSERT_TRUE(GetWindowRect(entry, &r));
  EXPECT_EQ(r.right - r.left, 0);
  EXPECT_EQ(r.bottom - r.top, 0);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));

  // Activated while still minimised, then restored without an activation (as the shell may
  // do): the restore hands the activation on.
  SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  SetActiveWindow(entry);
  Settle();
  ShowWindow(entry, SW_SHOWNOACTIVATE);
  EXPECT_TRUE(Active(form->Handle()));

  // A form minimised on its own (Win+M minimises every window) comes back with the program.
  ShowWindow(form->Handle(), SW_MINIMIZE);
  SetActiveWindow(entry);
  EXPECT_TRUE(Active(form->Handle()));
  EXPECT_FALSE(IsIconic(form->Handle()));
}

// The end of the session closes the main form once, whichever top-level windows are told; a
// log-off that another program cancelled ends nothing.
TEST_F(ProgramWindow, TheEndOfTheSessionClosesTheFormOnce) {
  for (const HWND told : {entry, form->Handle()}) {
    EXPECT_EQ(SendMessageA(told, WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageA(told, WM_ENDSESSION, FALSE, 0);
  }
  Settle();
  EXPECT_TRUE(form->events.empty());
  EXPECT_FALSE(app.Terminated());
  for (const HWND told : {form->Handle(), entry}) SendMessageA(told, WM_ENDSESSION, TRUE, 0);
  Settle();
  EXPECT_EQ(form->events, (std::vector<std::string>{"Form.Close"}));
  EXPECT_TRUE(app.Terminated());
}

// A box is the form's, and disables it, whichever window of the program the system activated
// last: right after the taskbar picked the program, the program window is the active one.
// While the form's own box disables it, a box is the active window's: that box's.
TEST_F(ProgramWindow, ABoxBelongsToTheFormWhicheverWindowIsActive) {
  for (const HWND active : {form->Handle(), entry}) {
    SetActiveWindow(active);
    ShowMessage("x");
  }
  OpenBox();
  SetActiveWindow(box);
  ShowMessage("x");
  EXPECT_EQ(owners, (std::vector<HWND>{form->Handle(), form->Handle(), box}));
}
