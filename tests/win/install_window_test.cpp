// The import window as laid out: size, placement, the pictures and what shows through the
// labels; a screenshot is kept for people to look at.
#include <windows.h>

#include <commctrl.h>  // needs windows.h first
#include <gtest/gtest.h>

#include "app/install_form.h"
#include "tests/common/temp_dir.h"
#include "tests/win/robot.h"
#include "winlib/application.h"
#include "winlib/image.h"
#include "winlib/label.h"
#include "winlib/list_box.h"
#include "winlib/panel.h"
#include "winlib/picture.h"

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

}  // namespace

TEST(InstallWindow, LooksAsLaidOut) {
  TempDir dir;  // a current directory without books or skins
  char old[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, old);
  SetCurrentDirectoryA(dir.Path().c_str());
  TApplication app;
  app.SetTitle("Orvel2－Zembra导入工具");
  TInstallForm* form = nullptr;
  app.CreateForm(form);
  form->Show();
  PumpMessages(500);
  const HWND window = form->Handle();

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

  // The close picture's hint is a tooltip of the window.
  HWND tooltip = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindTooltip, reinterpret_cast<LPARAM>(&tooltip));
  ASSERT_NE(tooltip, nullptr);
  ASSERT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
  wchar_t hint[64] = L"";
  TOOLINFOW tool = {};
  tool.cbSize = sizeof tool;
  tool.lpszText = hint;
  SendMessageW(tooltip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(std::wstring(hint), L"退出");
  EXPECT_EQ(tool.rect.left, 500);
  EXPECT_EQ(tool.rect.right, 517);

  CreateDirectoryA((ProgramFolder() + "screenshots").c_str(), nullptr);
  EXPECT_TRUE(SaveClientScreenshot(window, ProgramFolder() + "screenshots\\install_form.bmp"));
  SetCurrentDirectoryA(old);
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

  char old[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, old);
  SetCurrentDirectoryA(dir.Path().c_str());
  TApplication app;
  TInstallForm* form = nullptr;
  app.CreateForm(form);
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
  SetCurrentDirectoryA(old);
}
