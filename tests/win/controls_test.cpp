// Windowless controls on a real form: painting order, pointer routing, capture and clicks.
#include <gtest/gtest.h>

#include <memory>

#include "core/string_helpers.h"
#include "tests/common/temp_dir.h"
#include "tests/win/robot.h"
#include "tests/win/test_form.h"
#include "winlib/application/application.h"
#include "winlib/controls/image.h"
#include "winlib/controls/label.h"
#include "winlib/controls/list_box.h"
#include "winlib/controls/panel.h"

namespace {

const std::vector<LayoutProperty> kPointerEvents = {{"OnClick", "ControlClick"},
                                                    {"OnMouseDown", "ControlMouseDown"},
                                                    {"OnMouseMove", "ControlMouseMove"},
                                                    {"OnMouseUp", "ControlMouseUp"}};

std::vector<LayoutProperty> With(std::vector<LayoutProperty> props,
                                 const std::vector<LayoutProperty>& more) {
  props.insert(props.end(), more.begin(), more.end());
  return props;
}

// A 300 x 200 form: two overlapping images, a transparent and an opaque label over them,
// a bevel, a cream panel with a label, a list box, and a hidden image.
const Layout& TestLayout() {
  static const Layout layout = {
      "TestForm",
      {{"BorderStyle", "bsNone"},
       {"ClientWidth", "300"},
       {"ClientHeight", "200"},
       {"Color", "clWhite"},
       {"OnMouseMove", "FormMouseMove"},
       {"OnClose", "FormClose"}},
      {
          {"Red", "TImage", "",
           With({{"Left", "0"}, {"Top", "0"}, {"Width", "100"}, {"Height", "100"}},
                kPointerEvents)},
          {"Blue", "TImage", "",
           With({{"Left", "60"}, {"Top", "0"}, {"Width", "100"}, {"Height", "100"}},
                kPointerEvents)},
          {"Clear",
           "TLabel",
           "",
           {{"Left", "120"},
            {"Top", "10"},
            {"Width", "30"},
            {"Height", "20"},
            {"AutoSize", "False"},
            {"Caption", " "},
            {"Transparent", "True"},
            {"Cursor", "crHandPoint"}}},
          {"Opaque",
           "TLabel",
           "",
           {{"Left", "120"},
            {"Top", "50"},
            {"Width", "30"},
            {"Height", "20"},
            {"AutoSize", "False"},
            {"Caption", " "}}},
          {"Hidden", "TImage", "",
           With({{"Left", "0"},
                 {"Top", "0"},
                 {"Width", "300"},
                 {"Height", "200"},
                 {"Visible", "False"}},
                kPointerEvents)},
          {"Rule",
           "TBevel",
           "",
           {{"Left", "0"}, {"Top", "110"}, {"Width", "300"}, {"Height", "2"}}},
          {"Cream",
           "TPanel",
           "",
           {{"Left", "170"},
            {"Top", "120"},
            {"Width", "80"},
            {"Height", "40"},
            {"BevelOuter", "bvNone"},
            {"Color", "clCream"}}},
          {"InPanel", "TImage", "Cream",
           With({{"Left", "10"}, {"Top", "5"}, {"Width", "20"}, {"Height", "20"}}, kPointerEvents)},
          {"List",
           "TListBox",
           "",
           {{"Left", "10"},
            {"Top", "120"},
            {"Width", "120"},
            {"Height", "60"},
            {"ItemHeight", "13"}}},
      }};
  return layout;
}

// Three lists stored out of their tab order, and a panel among them that takes no Tab.
const Layout& FocusLayout() {
  const auto at = [](int left, int tabOrder) {
    return std::vector<LayoutProperty>{{"Left", std::to_string(left)},
                                       {"Top", "10"},
                                       {"Width", "60"},
                                       {"Height", "80"},
                                       {"TabOrder", std::to_string(tabOrder)}};
  };
  static const Layout layout = {
      "FocusForm",
      {{"BorderStyle", "bsNone"}, {"ClientWidth", "300"}, {"ClientHeight", "100"}},
      {
          {"Third", "TListBox", "", at(230, 3)},
          {"Second", "TListBox", "", at(80, 1)},
          {"Box", "TPanel", "", at(150, 2)},
          {"First", "TListBox", "", at(10, 0)},
      }};
  return layout;
}

// Lets the application handle its waiting messages, its form keys included, for a while.
void Settle(TApplication& app, int milliseconds = 200) {
  for (int waited = 0; waited < milliseconds; waited += 10) {
    app.ProcessMessages();
    Sleep(10);
  }
}

// The focus form, shown and active.
class Focus : public ::testing::Test {
 protected:
  void SetUp() override {
    app.SetTitle("Zembra test");
    app.CreateForm(form, FocusLayout());
    form->Show();
    SetForegroundWindow(form->Handle());
    Settle(app);
  }

  TApplication app;
  TTestForm* form = nullptr;
};

class Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteSolidBitmap(dir / "red.bmp", 100, 100, RGB(255, 0, 0)));
    ASSERT_TRUE(WriteSolidBitmap(dir / "blue.bmp", 100, 100, RGB(0, 0, 255)));
    app.SetTitle("Zembra test");
    app.CreateForm(form, TestLayout());
    form->Find<TImage>("Red")->LoadFromFile(dir / "red.bmp");
    form->Find<TImage>("Blue")->LoadFromFile(dir / "blue.bmp");
  }

  void Send(UINT message, int x, int y, WPARAM keys = 0) {
    SendMessageA(form->Handle(), message, keys, MAKELPARAM(x, y));
  }

  TempDir dir;
  TApplication app;
  TTestForm* form = nullptr;
};

}  // namespace

TEST_F(Controls, LaterControlsPaintOverEarlierAndWindowsOverThem) {
  form->Show();
  PumpMessages(300);
  EXPECT_EQ(ScreenPixel(form->Handle(), 30, 30), RGB(255, 0, 0));
  EXPECT_EQ(ScreenPixel(form->Handle(), 80, 30), RGB(0, 0, 255));        // the overlap: later wins
  EXPECT_EQ(ScreenPixel(form->Handle(), 125, 15), RGB(0, 0, 255));       // through the clear label
  EXPECT_EQ(ScreenPixel(form->Handle(), 125, 55), RGB(255, 255, 255));   // the opaque one
  EXPECT_EQ(ScreenPixel(form->Handle(), 180, 125), RGB(255, 251, 240));  // the cream panel
  EXPECT_EQ(ScreenPixel(form->Handle(), 150, 110), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(ScreenPixel(form->Handle(), 150, 111), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(ScreenPixel(form->Handle(), 250, 30), RGB(255, 255, 255));  // bare form
  // A control that changes on the shown window is painted again.
  form->Find<TImage>("Blue")->SetVisible(false);
  EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(form->Handle(), 80, 30) == RGB(255, 0, 0); }));
  form->Find<TImage>("Red")->LoadFromFile(dir / "blue.bmp");
  EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(form->Handle(), 30, 30) == RGB(0, 0, 255); }));
  form->SetColor(clRed);
  EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(form->Handle(), 250, 30) == RGB(255, 0, 0); }));
}

TEST_F(Controls, PointerGoesToTheTopmostVisibleControlAndClickComesBeforeMouseUp) {
  Send(WM_MOUSEMOVE, 80, 10);
  Send(WM_MOUSEMOVE, 20, 10);
  Send(WM_MOUSEMOVE, 250, 10);
  Send(WM_LBUTTONDOWN, 70, 20, MK_LBUTTON);
  Send(WM_LBUTTONUP, 71, 21);
  EXPECT_EQ(form->events,
            (std::vector<std::string>{"Blue.Move(20,10)", "Red.Move(20,10)", "Form.Move(250,10)",
                                      "Blue.DownL(10,20)", "Blue.Click", "Blue.Up(11,21)"}));
}

TEST_F(Controls, PressedControlHoldsThePointerAndReleaseOutsideGivesNoClick) {
  Send(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
  Send(WM_MOUSEMOVE, 250, 150, MK_LBUTTON);
  Send(WM_LBUTTONUP, 250, 150);
  Send(WM_RBUTTONDOWN, 20, 20, MK_RBUTTON);
  Send(WM_RBUTTONUP, 21, 21);
  EXPECT_EQ(form->events,
            (std::vector<std::string>{"Red.DownL(20,20)", "Red.Move(250,150)", "Red.Up(250,150)",
                                      "Red.DownR(20,20)", "Red.Up(21,21)"}));

  // A press whose handler fails ends there: the error is shown, the pointer is free and the
  // next press is a press. The display is recorded, so that no box takes the pointer away.
  TImage* red = form->Find<TImage>("Red");
  const TMouseEvent recorded = red->OnMouseDown;
  red->OnMouseDown = [](TObject*, TMouseButton, TShiftState, int, int) {
    throw Exception("press failed");
  };
  std::vector<std::string> shown;
  const MessageBoxDisplayOverride display(
      [&](HWND, const std::string& text, const std::string&, UINT) {
        shown.push_back(text);
        return IDOK;
      });
  Send(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
  EXPECT_EQ(shown, (std::vector<std::string>{"press failed."}));
  EXPECT_EQ(GetCapture(), nullptr);
  red->OnMouseDown = recorded;
  form->events.clear();
  Send(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
  Send(WM_LBUTTONUP, 20, 20);
  EXPECT_EQ(form->events,
            (std::vector<std::string>{"Red.DownL(20,20)", "Red.Click", "Red.Up(20,20)"}));
}

TEST_F(Controls, ControlsInAPanelGetThePanelsCoordinates) {
  TPanel* panel = form->Find<TPanel>("Cream");
  SendMessageA(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 10));
  SendMessageA(panel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(15, 10));
  EXPECT_EQ(form->events,
            (std::vector<std::string>{"InPanel.DownL(5,5)", "InPanel.Click", "InPanel.Up(5,5)"}));
  EXPECT_EQ(ShortStringToString(panel->ClassName()), "TPanel");
  EXPECT_EQ(panel->ControlCount(), 1);
  EXPECT_EQ(panel->Controls(0)->Name(), "InPanel");
}

TEST_F(Controls, RealPointerInputClicksAControl) {
  form->Show();
  PumpMessages(200);
  ClickClientPoint(form->Handle(), 30, 40);
  ASSERT_GE(form->events.size(), 3u);
  const std::vector<std::string> last(form->events.end() - 3, form->events.end());
  EXPECT_EQ(last, (std::vector<std::string>{"Red.DownL(30,40)", "Red.Click", "Red.Up(30,40)"}));
}

TEST_F(Controls, HandCursorOverTheLabelThatAsksForIt) {
  form->Show();
  PumpMessages(200);
  POINT p = {125, 15};
  ClientToScreen(form->Handle(), &p);
  SetCursorPos(p.x, p.y);
  PumpMessages(100);
  SendMessageA(form->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form->Handle()),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_HAND));
}

TEST_F(Controls, ListBoxIsARealListBox) {
  TListBox* list = form->Find<TListBox>("List");
  EXPECT_EQ(list->ItemIndex(), -1);
  list->Items().Add("Zembra英语第1册");
  list->Items().Add("second");
  list->SetItemIndex(0);
  EXPECT_EQ(list->Items().Count(), 2);
  EXPECT_EQ(list->Items().Strings(0), "Zembra英语第1册");
  EXPECT_EQ(list->ItemIndex(), 0);
  EXPECT_EQ(SendMessageA(list->Handle(), LB_GETITEMHEIGHT, 0, 0), 13);
  wchar_t className[32] = L"";
  GetClassNameW(list->Handle(), className, 32);
  EXPECT_EQ(std::wstring(className), L"ListBox");
  EXPECT_EQ(ListBoxEntries(list->Handle()),
            (std::vector<std::wstring>{L"Zembra英语第1册", L"second"}));

  // A list of another owner whose window went with its parent's is not destroyed again.
  std::unique_ptr<TListBox> other(new TListBox(nullptr));
  other->SetParent(form->Find<TPanel>("Cream"));
  const HWND otherWindow = other->Handle();
  ASSERT_TRUE(IsWindow(otherWindow));
  delete form->Find<TPanel>("Cream");
  EXPECT_FALSE(IsWindow(otherWindow));
  EXPECT_EQ(other->Handle(), nullptr);
}

TEST_F(Controls, PicturesLoadFromFilesAndBadOnesRaise) {
  TImage* red = form->Find<TImage>("Red");
  EXPECT_EQ(red->Picture().Width(), 100);
  ASSERT_TRUE(WriteFileBytes(dir / "bad.gif", "GIF89a not really"));
  ASSERT_TRUE(WriteFileBytes(dir / "bad.bmp", "BM not really"));
  EXPECT_THROW(red->LoadFromFile(dir / "bad.gif"), EInvalidGraphic);
  EXPECT_THROW(red->LoadFromFile(dir / "bad.bmp"), EInvalidGraphic);
  EXPECT_THROW(red->LoadFromFile(dir / "missing.jpg"), EInvalidGraphic);
  EXPECT_THROW(red->LoadFromFile(dir / "red.png"), EInvalidGraphic);
  EXPECT_EQ(red->Picture().Width(), 100);  // the old picture stays

  // Decoded pictures have their own width and height.
  red->LoadFromFile(ProgramFolder() + "data\\w13h7.gif");
  EXPECT_EQ(red->Picture().Width(), 13);
  EXPECT_EQ(red->Picture().Height(), 7);
  red->LoadFromFile(ProgramFolder() + "data\\w14h9.jpg");
  EXPECT_EQ(red->Picture().Width(), 14);
  EXPECT_EQ(red->Picture().Height(), 9);
}

TEST_F(Focus, TabGoesRoundTheTabStopsAndTheFormGivesBackTheControlLastFocused) {
  TListBox* const first = form->Find<TListBox>("First");
  TListBox* const second = form->Find<TListBox>("Second");
  TListBox* const third = form->Find<TListBox>("Third");
  EXPECT_TRUE(first->Focused());  // the first tab stop in tab order, though stored last

  const struct {
    WORD modifier;
    TListBox* focused;
  } presses[] = {{0, second},        {0, third},        {0, first}, {VK_SHIFT, third},
                 {VK_SHIFT, second}, {VK_SHIFT, first}, {0, second}};
  for (const auto& press : presses) {
    PressKey(VK_TAB, press.modifier);
    Settle(app);
    EXPECT_TRUE(press.focused->Focused())
        << (press.modifier ? "Shift+Tab to " : "Tab to ") << press.focused->Name();
  }

  // Focused by the mouse, the first list is the one a modal box gives the focus back to.
  ClickClientPoint(first->Handle(), 10, 10);
  Settle(app);
  ASSERT_TRUE(first->Focused());
  {
    MessageBoxWatcher watcher(L"Zembra test");
    // Windows takes the focus from the controls of a window that a modal box disables, before
    // the window is deactivated; Wine leaves it where it was. The test does as Windows does.
    SetFocus(nullptr);
    ShowMessage("a box");
    EXPECT_TRUE(watcher.Result().found);
  }
  Settle(app);
  EXPECT_TRUE(first->Focused());
  EXPECT_EQ(form->ActiveControl(), first);
  // Activated while a box still disables it, as Wine does when the box ends, the form keeps the
  // focus itself; enabled again, it gives it to its control.
  const HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10,
                                     nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  SetActiveWindow(other);
  EnableWindow(form->Handle(), FALSE);
  SetActiveWindow(form->Handle());
  EnableWindow(form->Handle(), TRUE);
  DestroyWindow(other);
  Settle(app);
  EXPECT_TRUE(first->Focused());
}

TEST_F(Focus, EnterAndEscClickTheDefaultAndCancelControlsOncePerPress) {
  TListBox* const first = form->Find<TListBox>("First");
  TPanel* const box = form->Find<TPanel>("Box");
  TListBox* const third = form->Find<TListBox>("Third");
  ASSERT_TRUE(first->Focused());
  std::vector<std::string> clicks;
  box->OnClick = [&](TObject*) { clicks.push_back("default"); };
  third->OnClick = [&](TObject*) { clicks.push_back("cancel"); };
  const auto key = [&](UINT message, WPARAM code, LPARAM flags) {
    clicks.clear();
    const MSG m = {first->Handle(), message, code, flags, 0, {0, 0}};
    return form->HandleDialogKey(m);
  };

  // Without a default or cancel control the focused control keeps Enter and Esc.
  EXPECT_FALSE(key(WM_KEYDOWN, VK_RETURN, 1));
  EXPECT_FALSE(key(WM_KEYDOWN, VK_ESCAPE, 1));
  form->SetDefaultControl(box);
  form->SetCancelControl(third);
  const LPARAM repeat = 1 | (1L << 30);  // the key was down already
  const struct {
    UINT message;
    WPARAM code;
    LPARAM flags;
    bool taken;
    std::vector<std::string> clicks;
  } rows[] = {
      {WM_KEYDOWN, VK_RETURN, 1, true, {"default"}},
      {WM_KEYDOWN, VK_RETURN, repeat, true, {}},
      {WM_KEYUP, VK_RETURN, 1 | (3L << 30), false, {}},
      {WM_CHAR, '\r', 1, false, {}},
      {WM_KEYDOWN, VK_ESCAPE, 1, true, {"cancel"}},
      {WM_KEYDOWN, VK_ESCAPE, repeat, true, {}},
      {WM_KEYDOWN, VK_SPACE, 1, false, {}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(key(row.message, row.code, row.flags), row.taken) << row.message << " " << row.code;
    EXPECT_EQ(clicks, row.clicks) << row.message << " " << row.code;
  }
  // A disabled or hidden default control leaves Enter to the focused control.
  box->SetEnabled(false);
  EXPECT_FALSE(key(WM_KEYDOWN, VK_RETURN, 1));
  box->SetEnabled(true);
  box->SetVisible(false);
  EXPECT_FALSE(key(WM_KEYDOWN, VK_RETURN, 1));
  box->SetVisible(true);
  EXPECT_TRUE(clicks.empty());
  // So does a focused control that asks for the message itself.
  WNDCLASSA wantsEnter = {};
  wantsEnter.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    return m == WM_GETDLGCODE ? DLGC_WANTMESSAGE : DefWindowProcA(w, m, wp, lp);
  };
  wantsEnter.hInstance = GetModuleHandleA(nullptr);
  wantsEnter.lpszClassName = "ZembraTestWantsEnter";
  RegisterClassA(&wantsEnter);
  const HWND asker = CreateWindowExA(0, wantsEnter.lpszClassName, "", WS_CHILD, 0, 0, 10, 10,
                                     form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(asker, nullptr);
  const MSG enter = {asker, WM_KEYDOWN, VK_RETURN, 1, 0, {0, 0}};
  EXPECT_FALSE(form->HandleDialogKey(enter));
  EXPECT_TRUE(clicks.empty());
  DestroyWindow(asker);

  // Real key presses on the focused list reach the form through the application's loop.
  clicks.clear();
  PressKey(VK_RETURN);
  Settle(app);
  PressKey(VK_ESCAPE);
  Settle(app);
  EXPECT_EQ(clicks, (std::vector<std::string>{"default", "cancel"}));

  // What the click raises is shown as a pointer click's is, and the form stays.
  box->OnClick = [](TObject*) { throw Exception("handler failed"); };
  {
    MessageBoxWatcher watcher(L"Zembra test");
    PressKey(VK_RETURN);
    Settle(app, 500);
    const MessageBoxSeen seen = watcher.Result();
    EXPECT_EQ(seen.text, L"handler failed.");
    EXPECT_TRUE(seen.hasIcon);
  }
  EXPECT_TRUE(IsWindow(form->Handle()));
  EXPECT_FALSE(app.Terminated());
}

namespace {

// Windows' UI state as a stand-in keeps it, since Wine keeps none: a form's window answers
// WM_QUERYUISTATE from the changes it was sent (UIS_INITIALIZE as after the mouse), and records
// each change. One at a time.
class UiStateStandIn {
 public:
  explicit UiStateStandIn(HWND window) : window_(window) {
    current = this;
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure)));
  }
  ~UiStateStandIn() {
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    current = nullptr;
  }
  std::vector<WPARAM> changes;
  WORD state = 0;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    UiStateStandIn& self = *current;
    if (message == WM_QUERYUISTATE) return self.state;
    if (message == WM_CHANGEUISTATE) {
      self.changes.push_back(wParam);
      if (LOWORD(wParam) == UIS_CLEAR) self.state &= static_cast<WORD>(~HIWORD(wParam));
      if (LOWORD(wParam) != UIS_CLEAR) self.state |= HIWORD(wParam);
      return 0;
    }
    return CallWindowProcA(self.previous_, window, message, wParam, lParam);
  }
  static UiStateStandIn* current;
  HWND window_;
  WNDPROC previous_;
};
UiStateStandIn* UiStateStandIn::current = nullptr;

}  // namespace

TEST_F(Focus, TheFocusRectanglesHideUntilTheKeyboardIsUsedWhereTheSettingsSaySo) {
  BOOL cuesBefore = TRUE;
  SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &cuesBefore, 0);
  const WPARAM hidden = MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL);
  const WPARAM shown = MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS);
  for (const BOOL cues : {FALSE, TRUE}) {
    SystemParametersInfoA(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<PVOID>(INT_PTR{cues}), 0);
    TTestForm* other = nullptr;
    app.CreateForm(other, FocusLayout());
    UiStateStandIn uiState(other->Handle());
    other->Show();
    // Hidden as in a dialog box, unless the user asks to see them always.
    EXPECT_EQ(uiState.changes, cues ? std::vector<WPARAM>{} : std::vector<WPARAM>{hidden});
    const MSG tab = {other->Handle(), WM_KEYDOWN, VK_TAB, 1, 0, {0, 0}};
    EXPECT_TRUE(other->HandleDialogKey(tab));
    EXPECT_EQ(uiState.changes.back(), shown) << "the keyboard is in use";
    EXPECT_EQ(uiState.state & UISF_HIDEFOCUS, 0);
    delete other;
  }
  SystemParametersInfoA(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<PVOID>(INT_PTR{cuesBefore}), 0);
}
