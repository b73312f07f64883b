// The import window as laid out: size, placement, the pictures and what shows through the
// labels, at 96 and at 120 pixels per inch; screenshots are kept for people to look at.
#include <windows.h>

#include <commctrl.h>  // needs windows.h first
#include <gtest/gtest.h>

#include <optional>

#include "app/install_form.h"
#include "core/large_font_math.h"
#include "tests/common/temp_dir.h"
#include "tests/win/accessible_reader.h"
#include "tests/win/comctl5_tooltips.h"
#include "tests/win/robot.h"
#include "winlib/application/application.h"
#include "winlib/controls/image.h"
#include "winlib/controls/label.h"
#include "winlib/controls/list_box.h"
#include "winlib/controls/panel.h"
#include "winlib/graphics/graphics.h"
#include "winlib/graphics/high_contrast.h"
#include "winlib/graphics/picture.h"
#include "winlib/system/tooltip.h"

namespace {

// The colour of a point of one of the program's picture resources.
COLORREF ResourcePixel(const char* name, int x, int y) {
  const HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  const HDC memory = CreateCompatibleDC(nullptr);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  const COLORREF color = GetPixel(memory, x, y);
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(bitmap);
  return color;
}

BOOL CALLBACK FindTooltip(HWND window, LPARAM found) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  if (std::wstring(name) == L"tooltips_class32") *reinterpret_cast<HWND*>(found) = window;
  return TRUE;
}

// Sets the desktop's pixels per inch for programs started from now on, and puts the old
// setting back when it goes.
class LogPixelsSetting {
 public:
  explicit LogPixelsSetting(DWORD pixelsPerInch) {
    RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &key_, nullptr);
    DWORD size = sizeof old_;
    hadOld_ = RegQueryValueExA(key_, "LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old_),
                               &size) == ERROR_SUCCESS;
    Set(pixelsPerInch);
  }
  ~LogPixelsSetting() {
    if (hadOld_) {
      Set(old_);
    } else {
      RegDeleteValueA(key_, "LogPixels");
    }
    RegCloseKey(key_);
  }
  LogPixelsSetting(const LogPixelsSetting&) = delete;
  LogPixelsSetting& operator=(const LogPixelsSetting&) = delete;

 private:
  void Set(DWORD value) {
    RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof value);
  }
  HKEY key_ = nullptr;
  DWORD old_ = 0;
  bool hadOld_ = false;
};

// Runs this test program again with the arguments; its exit code, or -1. A run that does not
// end is ended before the caller puts the desktop's settings back, so that it reads none of
// them.
long RunThisProgram(const std::string& arguments) {
  Process run;
  return run.Start(ThisProgram(), "", arguments) ? run.WaitForExit(60000) : -1;
}

// The system font's height on the desktop.
int SystemFontHeight() {
  WindowDC desktop(GetDesktopWindow(), true);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(desktop.Get(), &metrics);
  return metrics.tmHeight;
}

int FontHeightOf(HWND window) {
  LOGFONTA font = {};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfHeight;
}

// The import window built in a current directory of the test's own; the directory the test
// started in comes back afterwards, also when an assertion ends the test early.
class InstallWindowIn {
  ScopedCurrentDirectory current_;  // first: made before the application, gone after it

 public:
  explicit InstallWindowIn(const std::string& folder) : current_(folder) {
    app.SetTitle("Orvel2－Zembra导入工具");
    app.CreateForm(form);
  }
  InstallWindowIn(const InstallWindowIn&) = delete;
  InstallWindowIn& operator=(const InstallWindowIn&) = delete;

  HWND Show() {
    form->Show();
    PumpMessages(500);
    return form->Handle();
  }

  TApplication app;
  TInstallForm* form = nullptr;
};

// Sets system colours for a scope and puts the old ones back, also when an assertion ends the
// test early.
class ScopedSystemColors {
 public:
  explicit ScopedSystemColors(const std::vector<std::pair<int, COLORREF>>& colors) {
    for (const auto& [element, color] : colors) {
      elements_.push_back(element);
      old_.push_back(GetSysColor(element));
      new_.push_back(color);
    }
    SetSysColors(static_cast<int>(elements_.size()), elements_.data(), new_.data());
  }
  ~ScopedSystemColors() {
    SetSysColors(static_cast<int>(elements_.size()), elements_.data(), old_.data());
  }
  ScopedSystemColors(const ScopedSystemColors&) = delete;
  ScopedSystemColors& operator=(const ScopedSystemColors&) = delete;

 private:
  std::vector<int> elements_;
  std::vector<COLORREF> old_, new_;
};

}  // namespace

TEST(InstallWindow, LooksAsLaidOut) {
  TempDir dir;  // a current directory without books or skins
  InstallWindowIn built(dir.Path());
  TInstallForm* const form = built.form;
  const HWND window = built.Show();

  RECT client, frame;
  GetClientRect(window, &client);
  GetWindowRect(window, &frame);
  EXPECT_EQ(client.right, 522);
  EXPECT_EQ(client.bottom, 382);
  EXPECT_EQ(frame.right - frame.left, 522);  // no frame, no title bar
  EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - 522) / 2);
  EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - 382) / 2);

  // The cream panel, and the background through the transparent labels.
  EXPECT_EQ(ScreenPixel(window, 9 + 450, 29 + 5), RGB(255, 251, 240));
  EXPECT_EQ(ScreenPixel(window, 40 + 447, 85 + 58), ResourcePixel("A1", 40 + 447, 85 + 58));
  EXPECT_EQ(ScreenPixel(window, 42 + 245, 9 + 14), ResourcePixel("A1", 42 + 245, 9 + 14));
  EXPECT_EQ(ScreenPixel(window, 136 + 2, 154 + 1), ResourcePixel("A1", 136 + 2, 154 + 1));
  // The buttons show their pictures; the padlock sits at its own size in its box.
  EXPECT_EQ(ScreenPixel(window, 164 + 3, 340 + 3), ResourcePixel("A3", 3, 3));
  EXPECT_EQ(ScreenPixel(window, 500 + 8, 8 + 1), ResourcePixel("A2", 8, 1));
  EXPECT_EQ(form->Image4->Picture().Width(), 38);
  EXPECT_EQ(form->Image4->Width(), 48);
  EXPECT_EQ(ScreenPixel(window, 9 + 10 + 45, 29 + 3 + 2), RGB(255, 251, 240));

  EXPECT_NE(form->btBase, nullptr);
  EXPECT_FALSE(form->btBase->Visible());
  EXPECT_EQ(form->lsVolume->Items().Count(), 0);
  EXPECT_EQ(form->lsVolume->ItemIndex(), -1);
  EXPECT_EQ(form->Label2->Cursor(), crHandPoint);
  EXPECT_EQ(form->Label2->Alignment(), taCenter);
  EXPECT_EQ(form->Label2->Font().Style(), fsUnderline);
  EXPECT_EQ(form->Label2->Font().Color(), clBlue);
  EXPECT_EQ(form->Caption().substr(0, 7), "Orvel2 ");

  // The close picture's hint is a tooltip of the window, made when the pointer first comes
  // onto a control with a hint.
  HWND tooltip = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindTooltip, reinterpret_cast<LPARAM>(&tooltip));
  EXPECT_EQ(tooltip, nullptr);
  SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(200, 100));  // no hint there
  EnumThreadWindows(GetCurrentThreadId(), FindTooltip, reinterpret_cast<LPARAM>(&tooltip));
  EXPECT_EQ(tooltip, nullptr);
  SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(500 + 8, 8 + 8));
  EnumThreadWindows(GetCurrentThreadId(), FindTooltip, reinterpret_cast<LPARAM>(&tooltip));
  ASSERT_NE(tooltip, nullptr);
  ASSERT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
  wchar_t hint[64] = L"";
  TOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.lpszText = hint;
  SendMessageW(tooltip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(std::wstring(hint), L"退出");
  EXPECT_EQ(tool.rect.left, 500);
  EXPECT_EQ(tool.rect.right, 517);

  CreateDirectoryA((ProgramFolder() + "screenshots").c_str(), nullptr);
  EXPECT_TRUE(SaveClientScreenshot(window, ProgramFolder() + "screenshots\\install_form.bmp"));
}

// Windows gives a program without a manifest comctl32 version 5, whose tooltips refuse the
// TOOLINFO of version 6: the close picture's hint must reach such a tooltip too.
TEST(InstallWindow, CloseHintIsTakenByTheTooltipsOfComctl32Version5) {
  ASSERT_TRUE(TooltipClassReady());
  Comctl5Tooltips comctl5;
  ASSERT_TRUE(comctl5.Registered());
  TempDir dir;
  InstallWindowIn built(dir.Path());
  SendMessageA(built.Show(), WM_MOUSEMOVE, 0, MAKELPARAM(500 + 8, 8 + 8));
  HWND tooltip = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindTooltip, reinterpret_cast<LPARAM>(&tooltip));
  ASSERT_NE(tooltip, nullptr);
  EXPECT_GE(Comctl5Tooltips::Offered(), 1);
  EXPECT_EQ(Comctl5Tooltips::Refused(), 0);
  EXPECT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
}

// A program reads the screen's resolution when it starts: the window at 120 pixels per inch is
// built by a second run of this program, started with the desktop set so.
TEST(InstallWindow, At120PixelsPerInchIsTheSameWindow) {
  if (GetEnvironmentVariableA("ZEMBRA_AT_120_DPI", nullptr, 0) == 0) {
    ASSERT_EQ(ScreenPixelsPerInch(), 96);
    LogPixelsSetting setting(120);
    SetEnvironmentVariableA("ZEMBRA_AT_120_DPI", "1");
    const long code = RunThisProgram("--gtest_filter=InstallWindow.At120PixelsPerInch*");
    SetEnvironmentVariableA("ZEMBRA_AT_120_DPI", nullptr);
    EXPECT_EQ(code, 0);
    return;
  }
  ASSERT_EQ(ScreenPixelsPerInch(), 120);
  ASSERT_EQ(SystemFontHeight(), 20);
  TempDir dir;
  InstallWindowIn built(dir.Path());
  TInstallForm* const form = built.form;
  const HWND window = built.Show();

  // The layout scaled to 120 (522 × 382 to 653 × 478), then shrunk for the 20-pixel system
  // font (divided by 1.23): about the size the artwork was drawn for.
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 530);
  EXPECT_EQ(client.bottom, 388);
  // The background holds the whole client area, so the pointer never meets the bare window.
  const RECT background = form->ImageBackground->BoundsRect();
  EXPECT_EQ(background.left, 0);
  EXPECT_EQ(background.top, 0);
  EXPECT_EQ(background.right, client.right);
  EXPECT_EQ(background.bottom, client.bottom);
  EXPECT_EQ(form->ControlAtPos(client.right - 1, client.bottom - 1), form->ImageBackground);

  // Every control stands where the layout puts it, scaled to 120 and shrunk for the font.
  const double divisor = LargeFontDivisor(FontScaleForHeight(20));
  const auto at = [&](int designed) { return ShrinkValue(MulDiv(designed, 120, 96), divisor); };
  const struct {
    TControl* control;
    int left, top;  // as designed at 96 pixels per inch
  } places[] = {{form->lsVolume, 80, 194},   {form->Label1, 136, 176},
                {form->Label2, 136, 154},    {form->Label4, 42, 9},
                {form->Label5, 40, 85},      {form->Label7, 64, 17},
                {form->Panel2, 9, 29},       {form->btDlgClose, 500, 8},
                {form->btInstall, 164, 340}, {form->btContinue, 289, 340}};
  for (const auto& place : places) {
    EXPECT_EQ(place.control->Left(), at(place.left)) << place.control->Name();
    EXPECT_EQ(place.control->Top(), at(place.top)) << place.control->Name();
  }
  EXPECT_EQ(form->lsVolume->Left(), 81);   // 80 → 100 → 81.3
  EXPECT_EQ(form->btInstall->Top(), 345);  // 340 → 425 → 345.5

  // Every image button shows its whole picture, inside the window.
  const struct {
    TImage* button;
    const char* picture;
  } buttons[] = {{form->btDlgClose, "A2"}, {form->btInstall, "A3"}, {form->btContinue, "A4"}};
  for (const auto& b : buttons) {
    const int w = b.button->Picture().Width(), h = b.button->Picture().Height();
    EXPECT_EQ(b.button->Width(), w) << b.button->Name();
    EXPECT_EQ(b.button->Height(), h) << b.button->Name();
    EXPECT_LE(b.button->Left() + w, client.right) << b.button->Name();
    EXPECT_LE(b.button->Top() + h, client.bottom) << b.button->Name();
    EXPECT_EQ(ScreenPixel(window, b.button->Left() + w - 3, b.button->Top() + h - 3),
              ResourcePixel(b.picture, w - 3, h - 3))
        << b.button->Name();
  }

  // Fonts in proportion: 9-point labels are 15 pixels at 120, 9 points, shrunk to 7 points,
  // 12 pixels as designed; the list's 8-point window font, 14 pixels, shrinks to 6 points.
  EXPECT_EQ(form->Label5->Font().Height(), -12);
  EXPECT_EQ(form->lsVolume->Font().Height(), -10);
  EXPECT_EQ(FontHeightOf(form->lsVolume->Handle()), -10);

  CreateDirectoryA((ProgramFolder() + "screenshots").c_str(), nullptr);
  EXPECT_TRUE(
      SaveClientScreenshot(window, ProgramFolder() + "screenshots\\install_form_120dpi.bmp"));

  // Skin pictures keep their own pixel size, and a button keeps its place.
  const int left = form->btInstall->Left(), top = form->btInstall->Top();
  form->btInstall->LoadFromFile(ProgramFolder() + "data\\w13h7.gif");
  EXPECT_EQ(form->btInstall->Width(), 13);
  EXPECT_EQ(form->btInstall->Height(), 7);
  form->btInstall->LoadFromFile(ProgramFolder() + "data\\w14h9.jpg");
  EXPECT_EQ(form->btInstall->Width(), 14);
  EXPECT_EQ(form->btInstall->Height(), 9);
  EXPECT_EQ(form->btInstall->Left(), left);
  EXPECT_EQ(form->btInstall->Top(), top);
}

TEST(InstallWindow, ShippedSkinIsFoundForEveryButtonAndStateAtTheButtonsSize) {
  // The skin set as the package lays it out beside the program.
  TempDir dir;
  ASSERT_TRUE(MakeDir(dir / "InstallForm"));
  const std::string shipped = ProgramFolder() + "skinset\\InstallForm\\";
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((shipped + "*.bmp").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  int files = 0;
  do {
    ASSERT_TRUE(CopyFileA((shipped + found.cFileName).c_str(),
                          (dir / "InstallForm\\" + found.cFileName).c_str(), FALSE));
    ++files;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  EXPECT_EQ(files, 9);

  InstallWindowIn built(dir.Path());
  TInstallForm* const form = built.form;
  for (TImage* button : {form->btInstall, form->btContinue, form->btDlgClose}) {
    for (const char* state : {"", "-a", "-p"}) {
      const std::string stem = button->Name() + state;
      const std::string path = form->ButtonGroup().FindSkinImage(stem);
      EXPECT_EQ(path, "InstallForm\\" + stem + ".bmp");
      TPicture picture;
      picture.LoadFromFile(path);
      EXPECT_EQ(picture.Width(), button->Width()) << stem;
      EXPECT_EQ(picture.Height(), button->Height()) << stem;
    }
  }
}

// The keyboard reaches every control: Tab and Shift+Tab go round the list, the import and exit
// buttons and the download link, Space and Enter press a focused button or link, and a focused
// button shows its focus rectangle. A disabled control is passed over and reported so; so is a
// hidden one.
TEST(InstallWindow, TheKeyboardAndScreenReadersReachEveryControl) {
  TempDir dir;
  InstallWindowIn built(dir.Path());
  TInstallForm* const form = built.form;
  const HWND window = built.Show();
  SetForegroundWindow(window);
  const auto settle = [&] {
    WaitUntil([&] {
      built.app.ProcessMessages();
      return true;
    });
  };
  settle();
  ASSERT_TRUE(form->lsVolume->Focused());
  // Whether the focus rectangle is drawn over a button's picture.
  const auto rectangleOn = [&](const TImage* button, const char* picture) {
    int changed = 0;
    for (int x = 2; x < 20; ++x) {
      changed += ScreenPixel(window, button->Left() + x, button->Top() + 2) !=
                 ResourcePixel(picture, x, 2);
    }
    return changed > 0;
  };
  std::vector<std::string> clicks;
  for (TControl* control :
       std::initializer_list<TControl*>{form->btInstall, form->btContinue, form->Label2}) {
    control->OnClick = [&clicks, control](TObject*) { clicks.push_back(control->Name()); };
  }
  const struct {
    WORD key, modifier;
    TControl* focused;
  } presses[] = {{VK_TAB, 0, form->btInstall},
                 {VK_TAB, 0, form->btContinue},
                 {VK_TAB, 0, form->Label2},
                 {VK_TAB, 0, form->lsVolume},
                 {VK_TAB, VK_SHIFT, form->Label2},
                 {VK_SPACE, 0, form->Label2},
                 {VK_TAB, VK_SHIFT, form->btContinue},
                 {VK_RETURN, 0, form->btContinue}};
  for (const auto& press : presses) {
    PressKey(press.key, press.modifier);
    settle();
    EXPECT_TRUE(press.focused->Focused()) << press.key << " to " << press.focused->Name();
  }
  EXPECT_EQ(clicks, (std::vector<std::string>{"Label2", "btContinue"}));

  EXPECT_TRUE(WaitUntil([&] { return rectangleOn(form->btContinue, "A4"); }))
      << "no focus rectangle on the exit button";

  const ScopedCom com;
  const AccessibleReader reader(window);
  ASSERT_TRUE(reader.Found());
  const long install = reader.ChildNamed(L"导入");
  ASSERT_NE(install, 0);
  const long exit = install + 1;
  EXPECT_NE(reader.Child(exit).state & STATE_SYSTEM_FOCUSED, 0);
  EXPECT_EQ(reader.FocusedChild(), exit);
  form->btInstall->SetEnabled(false);
  form->btContinue->SetVisible(false);
  EXPECT_EQ(reader.Child(install).state & (STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_FOCUSABLE),
            STATE_SYSTEM_UNAVAILABLE);
  EXPECT_NE(reader.Child(exit).state & STATE_SYSTEM_INVISIBLE, 0);
  form->lsVolume->SetFocus();
  PressKey(VK_TAB);
  settle();
  EXPECT_TRUE(form->Label2->Focused()) << "Tab stopped on a disabled or hidden button";
}

// With high contrast on, the window draws in the system's colours, its picture buttons as
// plain buttons with their names; the skin comes back when it goes off.
TEST(InstallWindow, HighContrastUsesTheSystemsColoursUntilItGoesOff) {
  TempDir dir;
  InstallWindowIn built(dir.Path());
  const HWND window = built.Show();
  const POINT bare = {350, 20};   // the title band of the background picture
  const POINT panel = {300, 60};  // the cream header panel
  const POINT face = {164 + 4, 340 + 4};
  const auto repainted = [&](COLORREF atBare) {
    return WaitUntil([&] { return ScreenPixel(window, bare.x, bare.y) == atBare; });
  };
  ASSERT_EQ(ScreenPixel(window, bare.x, bare.y), ResourcePixel("A1", bare.x, bare.y));

  // The colours of Windows' "High Contrast Black", as the setting brings them.
  const ScopedSystemColors scheme({{COLOR_WINDOW, RGB(0, 0, 0)},
                                   {COLOR_WINDOWTEXT, RGB(255, 255, 255)},
                                   {COLOR_HOTLIGHT, RGB(255, 255, 0)},
                                   {COLOR_BTNFACE, RGB(0, 0, 0)},
                                   {COLOR_BTNTEXT, RGB(255, 255, 255)},
                                   {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
                                   {COLOR_BTNSHADOW, RGB(128, 128, 128)},
                                   {COLOR_3DDKSHADOW, RGB(255, 255, 255)},
                                   {COLOR_3DLIGHT, RGB(192, 192, 192)},
                                   {COLOR_GRAYTEXT, RGB(0, 255, 0)}});
  std::optional<HighContrastOverride> highContrast(std::in_place, true);
  SendMessageA(window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  EXPECT_TRUE(repainted(GetSysColor(COLOR_WINDOW)));
  EXPECT_EQ(ScreenPixel(window, panel.x, panel.y), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(ScreenPixel(window, face.x, face.y), GetSysColor(COLOR_BTNFACE));
  CreateDirectoryA((ProgramFolder() + "screenshots").c_str(), nullptr);
  EXPECT_TRUE(
      SaveClientScreenshot(window, ProgramFolder() + "screenshots\\install_form_contrast.bmp"));

  highContrast.emplace(false);
  SendMessageA(window, WM_SYSCOLORCHANGE, 0, 0);  // the colours stay, the setting goes
  EXPECT_TRUE(repainted(ResourcePixel("A1", bare.x, bare.y)));
  EXPECT_EQ(ScreenPixel(window, panel.x, panel.y), RGB(255, 251, 240));
  EXPECT_EQ(ScreenPixel(window, face.x, face.y), ResourcePixel("A3", 4, 4));
}
