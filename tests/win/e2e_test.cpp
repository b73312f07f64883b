// The import tool as a user meets it: the real ZembraImport.exe started in a laid-out
// installation, driven through its window, its list box and its message boxes.
// ZEMBRA_TOOL names another build of the tool to drive (the 32-bit release build under
// emulation), and ZEMBRA_TIMEOUT_SCALE stretches every wait for such a slow run.
#include <windows.h>

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <map>
#include <regex>
#include <utility>
#include <vector>

#include "core/lesson_conversion.h"
#include "tests/common/book_builder.h"
#include "tests/common/temp_dir.h"
#include "tests/win/accessible_reader.h"
#include "tests/win/robot.h"

namespace {

const wchar_t kTitle[] = L"Orvel2－Zembra导入工具";
const wchar_t kWindowCaption[] = L"Orvel2 Lexor";
const wchar_t kOurClass[] = L"ZembraWinControl";
const char kVbSettings[] = "Software\\VB and VBA Program Settings";
const char* const kBookKeys[] = {"MyZembra1", "MyZembra", "MyZembra2", "MyZembra3", "MyZembra4"};

const std::string kEntry1 = Narrow(L"Zembra英语第1册");
const std::string kEntry2 = Narrow(L"Zembra英语第2册");
const std::string kEntry3 = Narrow(L"Zembra英语第3册");

const std::wstring kM1 = L"您需要安装有正版的《Orvel2Pelmar》或其共享版，才能使用本资料";
const std::wstring kM2 = L"您还没有选择要导入的书";
const std::wstring kM3 =
    L"您没有安装《21天免费精通Zembra》，或没有将本导入程序拷贝到《21天免费精通Zembra》的安装文件夹"
    L"下";
std::wstring M4(const std::wstring& entry) {
  return L"《" + entry + L"》导入成功。重新启动《Orvel2》后，在自建书库里可以看到";
}
std::wstring M5(const std::wstring& entry) {
  return L"《" + entry + L"》导入失败";
}

// Points of the window, in its client area.
constexpr POINT kInstall = {164 + 37, 340 + 11};
constexpr POINT kContinue = {289 + 37, 340 + 11};
constexpr POINT kClose = {500 + 8, 8 + 8};

// The tool under test: this build's, unless the environment names another.
std::string ToolProgram() {
  const char* tool = std::getenv("ZEMBRA_TOOL");
  return tool != nullptr && *tool != '\0' ? tool : ProgramFolder() + "..\\ZembraImport.exe";
}

// The DLLs a process has loaded: lower-case module name to lower-case full path.
std::map<std::string, std::string> ModulesOf(DWORD process) {
  auto lower = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
  };
  std::map<std::string, std::string> modules;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process);
  if (snapshot == INVALID_HANDLE_VALUE) return modules;
  MODULEENTRY32 module = {};
  module.dwSize = sizeof module;
  for (BOOL more = Module32First(snapshot, &module); more; more = Module32Next(snapshot, &module)) {
    modules[lower(module.szModule)] = lower(module.szExePath);
  }
  CloseHandle(snapshot);
  return modules;
}

std::string SystemFolderPath(const char* file) {
  char folder[MAX_PATH] = "";
  GetSystemDirectoryA(folder, MAX_PATH);
  std::string path = std::string(folder) + "\\" + file;
  for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return path;
}

// Whether a tooltip of the process is shown now. (Its text is checked in the window's own
// tests; the system keeps no caption for it that another process could read.)
bool TooltipShown(DWORD process) {
  struct Search {
    DWORD process;
    bool shown;
  } search = {process, false};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* search = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t name[64] = L"";
        GetClassNameW(window, name, 64);
        search->shown = owner == search->process && IsWindowVisible(window) &&
                        std::wstring(name) == L"tooltips_class32";
        return !search->shown;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.shown;
}

// Returns once the thread of a window, of any process, has handled what was waiting for it:
// the first round trip takes the messages sent before it, the second those posted before it.
void WaitForMessagesHandled(HWND window) {
  for (int trip = 0; trip < 2; ++trip) {
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, ScaledTimeout(10000), nullptr);
  }
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearRegistry();
    orvel = root / "Orvel2 Study\\";
    course = root / "Zembra Course\\";
    start = root / "start\\";
    for (const std::string& folder : {orvel, orvel + "booklib\\", orvel + "booklib\\user\\", course,
                                      course + "books\\", start}) {
      ASSERT_TRUE(MakeDir(folder)) << folder;
    }
    ASSERT_TRUE(
        CopyFileA((ProgramFolder() + "qelto.exe").c_str(), (orvel + "qelto.exe").c_str(), FALSE));
  }
  void TearDown() override {
    tool.Kill();
    study.Kill();
    ClearRegistry();
  }

  static void ClearRegistry() {
    DeleteRegTree(HKEY_CURRENT_USER, "Software\\Tavrin");
    for (const char* key : kBookKeys) {
      DeleteRegTree(HKEY_CURRENT_USER, std::string(kVbSettings) + "\\" + key);
    }
  }

  void RegisterOrvel(const std::string& folder) {
    SetRegString("Software\\Tavrin\\Orvel", "InstallPath", folder);
  }
  void RegisterBook(const char* key, const std::string& folder) {
    SetRegString(std::string(kVbSettings) + "\\" + key + "\\Options", "Installation", folder);
  }
  void MakeBook(const std::string& folder, const std::string& tag, int lessons = 3) {
    ASSERT_TRUE(WriteSampleBook(folder, tag, lessons)) << folder;
  }

  void StartStudyProgram(const std::string& arguments = "") {
    ASSERT_TRUE(study.Start(orvel + "qelto.exe", orvel, arguments));
    ASSERT_NE(WaitForWindow(L"Orvel2选书", nullptr), nullptr);
  }

  // Starts the tool in the folder and waits for its window, ready for the keys.
  HWND StartTool(const std::string& folder) {
    if (!tool.Start(ToolProgram(), folder)) return nullptr;
    window = WaitForWindow(kWindowCaption, kOurClass);
    FindList();
    if (window != nullptr) WaitUntil([&] { return ListHasTheKeys(); });
    return window;
  }
  // Finds the tool's window, shown or not, and its list.
  void FindList() {
    if (window == nullptr) window = FindWindowW(kOurClass, kWindowCaption);
    list = window != nullptr ? FindWindowExW(window, nullptr, L"ListBox", nullptr) : nullptr;
  }
  bool ListHasTheKeys() {
    return GetForegroundWindow() == window && IsWindowEnabled(window) &&
           FocusOfThread(window) == list;
  }

  // The tool started with books 1 and 3 listed; its program window, whose taskbar button
  // stands for it and which owns the import window.
  HWND StartWithTwoBooks() {
    RegisterBook("MyZembra1", course);
    RegisterBook("MyZembra3", course);
    return StartTool(start) != nullptr ? GetWindow(window, GW_OWNER) : nullptr;
  }
  // The study program registered and book 1 laid out in the course folder.
  void LayOutBook1() {
    RegisterOrvel(orvel);
    RegisterBook("MyZembra1", course);
    MakeBook(course + "books\\ZMB1\\", "zmb1");
  }

  std::vector<std::wstring> Entries() { return ListBoxEntries(list); }
  LRESULT Selection() { return SendMessageW(list, LB_GETCURSEL, 0, 0); }
  // Presses a key once the list can take it, and waits for the selection to become the one
  // expected.
  LRESULT SelectionAfterKey(WORD key, LRESULT expected) {
    WaitUntil([&] { return ListHasTheKeys(); });
    PressKey(key);
    WaitUntil([&] { return Selection() == expected; });
    return Selection();
  }

  // Clicks a point of the tool's window; the message box it opens.
  HWND ClickForBox(POINT point, int timeoutMs = 20000) {
    ClickClientPoint(window, point.x, point.y);
    return WaitForWindow(kTitle, L"#32770", timeoutMs);
  }
  // Answers a box and waits until the window it disabled takes the pointer again.
  MessageBoxSeen Answer(HWND box) {
    lastLog = ReadWholeFile(orvel + "messages.log");  // as it was when the box appeared
    const MessageBoxSeen seen = AnswerMessageBox(box);
    if (box != nullptr) WaitUntil([&] { return !IsWindow(box) && IsWindowEnabled(window); });
    return seen;
  }
  // Clicks a point of the tool's window and answers the message box it opens.
  MessageBoxSeen ClickAndAnswer(POINT point) { return Answer(ClickForBox(point)); }

  // Presses a key in the tool's window and answers the message box it opens.
  MessageBoxSeen PressAndAnswer(WORD key) {
    WaitUntil([&] { return ListHasTheKeys(); });
    PressKey(key);
    return Answer(WaitForWindow(kTitle, L"#32770"));
  }

  // Closes the tool with one of its buttons; its exit code.
  long CloseWith(POINT point) {
    ClickClientPoint(window, point.x, point.y);
    return tool.WaitForExit();
  }

  std::string Library(const std::string& entry) {
    return orvel + "booklib\\user\\" + entry + ".dat";
  }

  TempDir root;
  std::string orvel, course, start;
  Process tool, study;
  HWND window = nullptr;
  HWND list = nullptr;
  std::string lastLog;
};

}  // namespace

TEST_F(EndToEnd, ImportsTheChosenBookAndTellsTheStudyProgramOnce) {
  RegisterOrvel(orvel);
  RegisterBook("MyZembra1", course.substr(0, course.size() - 1));  // no trailing backslash
  RegisterBook("MyZembra3", course);
  MakeBook(course + "books\\" + kEntry1 + "\\", "zmb1");
  MakeBook(course + "books\\ZMB3\\", "zmb3", 2);
  StartStudyProgram();
  ASSERT_NE(StartTool(start), nullptr);
  RECT frame;
  GetWindowRect(window, &frame);
  EXPECT_EQ(frame.right - frame.left, 522);
  EXPECT_EQ(frame.bottom - frame.top, 382);
  EXPECT_EQ(Entries(), (std::vector<std::wstring>{L"Zembra英语第1册", L"Zembra英语第3册"}));
  EXPECT_EQ(Selection(), 0);
  // The list has the keyboard focus from the start.
  EXPECT_EQ(SelectionAfterKey(VK_DOWN, 1), 1);
  EXPECT_EQ(SelectionAfterKey(VK_UP, 0), 0);

  const MessageBoxSeen seen = ClickAndAnswer(kInstall);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.caption, kTitle);
  EXPECT_EQ(seen.text, M4(L"Zembra英语第1册"));
  EXPECT_FALSE(seen.hasIcon);
  // One message, its order 1, then its time, the message 3246 and its two parameters 0.
  EXPECT_TRUE(std::regex_match(lastLog, std::regex("1\t[0-9]+\t3246\t0\t0\n"))) << lastLog;

  // The library file is the conversion of the book, with its sound paths in place.
  const std::string expected = root / "expected.dat";
  ASSERT_EQ(ConvertLessons(expected, course + "books\\" + kEntry1 + "\\", "zmb1"), 1);
  std::string written, converted;
  ASSERT_TRUE(ReadFileBytes(Library(kEntry1), &written));
  ASSERT_TRUE(ReadFileBytes(expected, &converted));
  EXPECT_EQ(written.size(), 14u * 2048);
  EXPECT_EQ(written, converted);

  // The window stays, with the same selection; book 3 lies in its short-named folder.
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(Selection(), 0);
  // The focus came back to the list with the window; Tab goes round the import and exit
  // buttons and the download link, back to it.
  EXPECT_EQ(SelectionAfterKey(VK_DOWN, 1), 1);
  for (int i = 0; i < 4; ++i) PressKey(VK_TAB);
  EXPECT_EQ(SelectionAfterKey(VK_UP, 0), 0);
  ClickClientPoint(list, 20, 13 + 6);
  EXPECT_TRUE(WaitUntil([&] { return Selection() == 1; }));
  EXPECT_EQ(ClickAndAnswer(kInstall).text, M4(L"Zembra英语第3册"));
  EXPECT_TRUE(PathExists(Library(kEntry3)));
  EXPECT_EQ(std::count(lastLog.begin(), lastLog.end(), '\n'), 2);

  // Importing book 1 again replaces the first result.
  ClickClientPoint(list, 20, 6);
  EXPECT_EQ(ClickAndAnswer(kInstall).text, M4(L"Zembra英语第1册"));
  ASSERT_TRUE(ReadFileBytes(Library(kEntry1), &written));
  EXPECT_EQ(written, converted);
  EXPECT_EQ(CloseWith(kContinue), 0);
}

TEST_F(EndToEnd, EnterImportsLikeTheImportButtonAndEscLeavesLikeTheExitButton) {
  RegisterOrvel(orvel);
  RegisterBook("MyZembra1", course);
  RegisterBook("MyZembra3", course);
  MakeBook(course + "books\\ZMB1\\", "zmb1");
  MakeBook(course + "books\\ZMB3\\", "zmb3", 2);
  StartStudyProgram();
  ASSERT_NE(StartTool(start), nullptr);
  EXPECT_EQ(SelectionAfterKey(VK_DOWN, 1), 1);

  // Enter imports the selected book; the Enter that answers the message box, pressed and
  // released as a user does, starts no second import.
  PressKey(VK_RETURN);
  const HWND box = WaitForWindow(kTitle, L"#32770");
  const MessageBoxSeen seen = ReadMessageBox(box);
  EXPECT_EQ(seen.text, M4(L"Zembra英语第3册"));
  ASSERT_NE(box, nullptr);
  SetForegroundWindow(box);
  PressKey(VK_RETURN);
  EXPECT_TRUE(WaitForWindowGone(box));
  EXPECT_EQ(WaitForWindow(kTitle, L"#32770", 1500), nullptr) << "a second message";
  const std::string log = ReadWholeFile(orvel + "messages.log");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
  EXPECT_NE(log.find("\t3246\t0\t0\n"), std::string::npos) << log;
  std::string written;
  ASSERT_TRUE(ReadFileBytes(Library(kEntry3), &written));
  EXPECT_EQ(written.size(), 9u * 2048);  // two lessons
  EXPECT_FALSE(PathExists(Library(kEntry1)));

  // With nothing selected, Enter says so as the button does.
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(PressAndAnswer(VK_RETURN).text, kM2);
  EXPECT_TRUE(IsWindow(window));

  PressKey(VK_ESCAPE);
  EXPECT_EQ(tool.WaitForExit(), 0);
}

TEST_F(EndToEnd, StudyProgramSettingOfTheWrongTypeShowsOnImportAndTheWindowStays) {
  SetRegDword("Software\\Tavrin\\Orvel", "InstallPath", 1);
  RegisterBook("MyZembra1", course);
  ASSERT_NE(StartTool(start), nullptr);
  for (const bool byKey : {false, true}) {
    const MessageBoxSeen seen = byKey ? PressAndAnswer(VK_RETURN) : ClickAndAnswer(kInstall);
    EXPECT_EQ(seen.text, L"Invalid data type for 'InstallPath'") << byKey;
    EXPECT_TRUE(seen.hasIcon);
    EXPECT_TRUE(IsWindow(window)) << byKey;
  }
  EXPECT_EQ(CloseWith(kContinue), 0);
}

TEST_F(EndToEnd, StudyProgramMissingGivesM1) {
  // The tool copied into the course program's folder: its books below the current directory.
  ASSERT_TRUE(MakeDir(start + "BOOKS\\"));
  MakeBook(start + "BOOKS\\ZMB2\\", "zmb2");
  ASSERT_TRUE(PathExists(start + "BOOKS\\ZMB2\\lesson.txt"));
  ASSERT_NE(StartTool(start), nullptr);
  EXPECT_EQ(Entries(), (std::vector<std::wstring>{L"Zembra英语第2册"}));
  // The study program's settings key comes with the first reading of them, on import.
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Software\\Tavrin"));
  EXPECT_EQ(ClickAndAnswer(kInstall).text, kM1);
  EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "Software\\Tavrin\\Orvel"));
  // A folder without its trailing backslash does not find qelto.exe either.
  RegisterOrvel(orvel.substr(0, orvel.size() - 1));
  EXPECT_EQ(ClickAndAnswer(kInstall).text, kM1);
  // Installed while the window is open: the next click finds it, and the current directory
  // serves as the course folder.
  RegisterOrvel(orvel);
  EXPECT_EQ(ClickAndAnswer(kInstall).text, M4(L"Zembra英语第2册"));
  EXPECT_TRUE(PathExists(Library(kEntry2)));
  EXPECT_EQ(CloseWith(kClose), 0);
}

TEST_F(EndToEnd, EmptyListGivesM3AndNoSelectionM2) {
  RegisterOrvel(orvel);
  ASSERT_NE(StartTool(start), nullptr);
  EXPECT_TRUE(Entries().empty());
  EXPECT_EQ(Selection(), LB_ERR);
  EXPECT_EQ(ClickAndAnswer(kInstall).text, kM3);
  EXPECT_EQ(CloseWith(kContinue), 0);

  RegisterBook("MyZembra", course);   // book 2's key has no digit
  RegisterBook("MyZembra2", course);  // and this one is never read
  ASSERT_NE(StartTool(start), nullptr);
  EXPECT_EQ(Entries(), (std::vector<std::wstring>{L"Zembra英语第2册"}));
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(ClickAndAnswer(kInstall).text, kM2);
  EXPECT_EQ(CloseWith(kClose), 0);
}

TEST_F(EndToEnd, FailedImportGivesM5LeavesNoFileAndSendsNothing) {
  RegisterOrvel(orvel);
  RegisterBook("MyZembra1", course);
  MakeBook(course + "books\\ZMB1\\", "zmb1");
  DeleteFileA((course + "books\\ZMB1\\zmb1002.lrc").c_str());
  StartStudyProgram();
  ASSERT_NE(StartTool(start), nullptr);
  EXPECT_EQ(ClickAndAnswer(kInstall).text, M5(L"Zembra英语第1册"));
  EXPECT_FALSE(PathExists(Library(kEntry1)));
  EXPECT_FALSE(PathExists(Library(kEntry1) + ".tmp"));
  EXPECT_EQ(lastLog, "");
  EXPECT_EQ(Selection(), 0);

  // Neither the long- nor the short-named folder: M5 as well.
  RemoveTree(course + "books\\ZMB1");
  EXPECT_EQ(ClickAndAnswer(kInstall).text, M5(L"Zembra英语第1册"));
  EXPECT_EQ(CloseWith(kContinue), 0);
}

TEST_F(EndToEnd, EntryNamedFolderWinsOverTheShortNamedOne) {
  RegisterOrvel(orvel);
  RegisterBook("MyZembra1", course);
  MakeBook(course + "books\\" + kEntry1 + "\\", "zmb1", 2);
  MakeBook(course + "books\\ZMB1\\", "zmb1", 4);
  ASSERT_NE(StartTool(start), nullptr);
  EXPECT_EQ(ClickAndAnswer(kInstall).text, M4(L"Zembra英语第1册"));
  std::string written;
  ASSERT_TRUE(ReadFileBytes(Library(kEntry1), &written));
  EXPECT_EQ(written.size(), 9u * 2048);  // two lessons, not four
  EXPECT_EQ(CloseWith(kContinue), 0);
}

// The window shows bitmaps only: the OLE libraries, which only decode GIF and JPEG pictures,
// stay unloaded, unless the system loads them into every program with a window (Wine's
// display driver takes ole32, for one), as the least window program shows. comctl32, for the
// close picture's tooltip, is loaded from the system folder when the pointer first rests on
// the picture, whose hint then pops up, and again after the pointer has left it.
TEST_F(EndToEnd, StartsWithoutTheOleLibrariesOrComctl32AndTheFirstHoverShowsTheHint) {
  Process least;
  ASSERT_TRUE(least.Start(ProgramFolder() + "least_window.exe", start));
  ASSERT_NE(WaitForWindow(L"Least window", L"LeastWindow"), nullptr);
  // Wine's display driver loads ole32 into every program, some time after its first window.
  std::map<std::string, std::string> everyWindow;
  WaitUntil(
      [&] {
        everyWindow = ModulesOf(least.Id());
        return everyWindow.count("ole32.dll") > 0;
      },
      3000);
  ASSERT_EQ(everyWindow.count("least_window.exe"), 1u);  // the snapshot is of the program
  RegisterOrvel(orvel);
  ASSERT_NE(StartTool(start), nullptr);
  std::map<std::string, std::string> modules = ModulesOf(tool.Id());
  ASSERT_EQ(modules.count("zembraimport.exe"), 1u);
  for (const char* ole : {"ole32.dll", "oleaut32.dll"}) {
    if (modules.count(ole) > 0) {
      EXPECT_EQ(everyWindow.count(ole), 1u) << ole << ": the tool's own";
    }
  }
  EXPECT_EQ(modules.count("comctl32.dll"), everyWindow.count("comctl32.dll"));
  EXPECT_EQ(modules.count("oleacc.dll"), everyWindow.count("oleacc.dll"));

  for (const char* pass : {"first hover", "hover after leaving"}) {
    SCOPED_TRACE(pass);
    MoveToClientPoint(window, 200, 120);  // off every hint
    EXPECT_TRUE(WaitUntil([&] { return !TooltipShown(tool.Id()); }));
    MoveToClientPoint(window, kClose.x, kClose.y);
    EXPECT_TRUE(WaitUntil([&] { return TooltipShown(tool.Id()); }));
  }
  modules = ModulesOf(tool.Id());
  ASSERT_EQ(modules.count("comctl32.dll"), 1u);
  EXPECT_EQ(modules.at("comctl32.dll"), SystemFolderPath("comctl32.dll"));
  EXPECT_EQ(CloseWith(kContinue), 0);
}

TEST_F(EndToEnd, SettingOfTheWrongTypeEndsTheStartWithTheExceptionDisplay) {
  SetRegDword(std::string(kVbSettings) + "\\MyZembra3\\Options", "Installation", 1);
  ASSERT_TRUE(tool.Start(ToolProgram(), start));
  const MessageBoxSeen seen = AnswerMessageBox(WaitForWindow(kTitle, L"#32770"));
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text, L"Invalid data type for 'Installation'");
  EXPECT_TRUE(seen.hasIcon);
  EXPECT_EQ(tool.WaitForExit(), 0);
  EXPECT_EQ(FindWindowW(kOurClass, kWindowCaption), nullptr);
}

TEST_F(EndToEnd, CurrentDirectoryLongerThan200CharactersIsReadWhole) {
  RegisterOrvel(orvel);
  std::string deep = start + std::string(120, 'd') + "\\";
  ASSERT_TRUE(MakeDir(deep));
  deep += std::string(200 - deep.size() + 15, 'e') + "\\";
  ASSERT_TRUE(MakeDir(deep));
  ASSERT_GT(deep.size(), 210u);
  ASSERT_TRUE(MakeDir(deep + "books\\"));
  MakeBook(deep + "books\\ZMB3\\", "zmb3", 1);
  ASSERT_NE(StartTool(deep), nullptr);
  EXPECT_EQ(Entries(), (std::vector<std::wstring>{L"Zembra英语第3册"}));
  EXPECT_EQ(ClickAndAnswer(kInstall).text, M4(L"Zembra英语第3册"));
  std::string written;
  ASSERT_TRUE(ReadFileBytes(Library(kEntry3), &written));
  EXPECT_NE(written.find(deep + "books\\ZMB3\\zmb3001.mp3"), std::string::npos);
  EXPECT_EQ(CloseWith(kContinue), 0);
}

TEST_F(EndToEnd, DownloadLinkOpensTheDownloadPageInTheBrowser) {
  // The recorder is the registered browser while the test runs.
  const std::string browser = root / "web browser.exe";
  ASSERT_TRUE(CopyFileA((ProgramFolder() + "recorder.exe").c_str(), browser.c_str(), FALSE));
  const ScopedRegistryValue handler(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", "",
                                    "\"" + browser + "\" -url \"%1\"");
  ASSERT_TRUE(handler.Set());

  ASSERT_NE(StartTool(start), nullptr);
  ClickClientPoint(window, 136 + 120, 154 + 8);
  WaitUntil([&] { return !ReadWholeFile(browser + ".log").empty(); });
  const std::string started = ReadWholeFile(browser + ".log");

  EXPECT_EQ(started, "\"" + browser + "\" http://www.zembra21.com/download.html\n");
  EXPECT_EQ(FindWindowW(L"#32770", kTitle), nullptr);  // no message
  EXPECT_EQ(CloseWith(kContinue), 0);
}

TEST_F(EndToEnd, BooksBelowTheCurrentDirectoryAreListedOnceAndOnlyForALessonFile) {
  // Book 1 in both folders, book 3 only in its long-named one, book 4 with a folder named like
  // the lesson list.
  ASSERT_TRUE(MakeDir(start + "BOOKS\\"));
  MakeBook(start + "BOOKS\\" + kEntry1 + "\\", "zmb1", 1);
  MakeBook(start + "BOOKS\\ZMB1\\", "zmb1", 1);
  MakeBook(start + "BOOKS\\" + kEntry3 + "\\", "zmb3", 1);
  ASSERT_TRUE(MakeDir(start + "BOOKS\\ZMB4\\"));
  ASSERT_TRUE(MakeDir(start + "BOOKS\\ZMB4\\lesson.txt"));
  ASSERT_NE(StartTool(start), nullptr);
  EXPECT_EQ(Entries(), (std::vector<std::wstring>{L"Zembra英语第1册", L"Zembra英语第3册"}));
  // Reading the settings left the keys of all four books behind, with no value in them.
  for (const char* key : {"MyZembra1", "MyZembra", "MyZembra3", "MyZembra4"}) {
    EXPECT_TRUE(
        RegKeyExists(HKEY_CURRENT_USER, std::string(kVbSettings) + "\\" + key + "\\Options"))
        << key;
  }
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, std::string(kVbSettings) + "\\MyZembra2"));
  EXPECT_EQ(CloseWith(kClose), 0);
}

// Windows acts on the window by itself. Minimised from the taskbar, or from the window's own
// menu (or Win+Down), the form goes with the program, whose taskbar button brings it back with
// the keys, whether the shell activates the program after restoring it or before (while still
// minimised); Close on the taskbar ends it.
TEST_F(EndToEnd, FromTheTaskbarTheWindowComesBackWithTheKeysAndCloses) {
  const HWND entry = StartWithTwoBooks();
  ASSERT_NE(entry, nullptr);
  const struct {
    bool fromTheForm, activatedFirst;
  } rows[] = {{false, false}, {true, false}, {true, true}};
  LRESULT selection = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.fromTheForm ? "the form's" : "the taskbar's") + " minimise, " +
                 (row.activatedFirst ? "activated, then restored" : "restored"));
    PostMessageW(row.fromTheForm ? window : entry, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(entry) && !IsWindowVisible(window); }));
    if (row.activatedFirst) {
      SetForegroundWindow(entry);
      EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == entry; }));
      WaitForMessagesHandled(entry);  // the activation while minimised, before the restore
      ShowWindowAsync(entry, SW_RESTORE);
    } else {
      PostMessageW(entry, WM_SYSCOMMAND, SC_RESTORE, 0);
    }
    EXPECT_TRUE(WaitUntil([&] {
      return IsWindowVisible(window) && !IsIconic(window) && GetForegroundWindow() == window;
    }));
    selection = 1 - selection;  // the list has the keys again
    EXPECT_EQ(SelectionAfterKey(selection == 1 ? VK_DOWN : VK_UP, selection), selection);
  }
  PostMessageW(entry, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(tool.WaitForExit(), 0);
}

// A shortcut set to "Run: Minimised" starts the program on the taskbar, its form hidden.
TEST_F(EndToEnd, AMinimisedStartWaitsOnTheTaskbarUntilRestored) {
  RegisterBook("MyZembra1", course);
  RegisterBook("MyZembra3", course);
  ASSERT_TRUE(tool.Start(ToolProgram(), start, "", SW_SHOWMINNOACTIVE));
  HWND entry = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        entry = FindWindowW(kOurClass, kTitle);
        return entry != nullptr && IsIconic(entry);
      },
      20000));
  FindList();
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsWindowVisible(window));
  PostMessageW(entry, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(
      WaitUntil([&] { return IsWindowVisible(window) && GetForegroundWindow() == window; }));
  EXPECT_EQ(SelectionAfterKey(VK_DOWN, 1), 1);
  EXPECT_EQ(CloseWith(kContinue), 0);
}

// Log-off, shut-down or the Restart Manager, which ask every top-level window: the tool agrees
// and ends as its exit button does, even from an open message box.
TEST_F(EndToEnd, TheEndOfTheSessionEndsTheToolWithExitCodeZero) {
  LayOutBook1();
  ASSERT_NE(StartTool(start), nullptr);
  const HWND entry = GetWindow(window, GW_OWNER);
  ASSERT_NE(ClickForBox(kInstall), nullptr);
  for (const HWND topLevel : {entry, window}) {
    DWORD_PTR answer = 0;
    ASSERT_NE(SendMessageTimeoutW(topLevel, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP,
                                  SMTO_ABORTIFHUNG, ScaledTimeout(5000), &answer),
              0);
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
  }
  // A log-off that another program cancelled ends nothing; then the form alone, and the
  // program window as well.
  const struct {
    HWND topLevel;
    BOOL ending;
  } rows[] = {{entry, FALSE}, {window, FALSE}, {window, TRUE}, {entry, TRUE}};
  for (const auto& row : rows) {
    SendMessageTimeoutW(row.topLevel, WM_ENDSESSION, row.ending, ENDSESSION_CLOSEAPP,
                        SMTO_ABORTIFHUNG, ScaledTimeout(5000), nullptr);
    if (!row.ending) {
      WaitForMessagesHandled(entry);
      EXPECT_EQ(tool.WaitForExit(0), -1) << "ended by a cancelled log-off";
    }
  }
  EXPECT_EQ(tool.WaitForExit(10000), 0);
  EXPECT_TRUE(PathExists(Library(kEntry1)));
}

// A study program that has stopped answering costs the import a short wait, not the window:
// the success message comes long before a busy stand-in takes the news. One that has hung (it
// has looked at no message for five seconds) is not waited for at all: the tool's wait for a
// busy one is two seconds.
TEST_F(EndToEnd, AStudyProgramThatDoesNotAnswerOnlyDelaysTheSuccessMessage) {
  LayOutBook1();
  for (const bool hung : {false, true}) {
    SCOPED_TRACE(hung ? "hung" : "busy");
    DeleteFileA((orvel + "messages.log").c_str());
    StartStudyProgram(hung ? "--hang-ms 10000" : "--busy-ms 30000");
    const HWND chooser = FindWindowW(nullptr, L"Orvel2选书");
    ASSERT_NE(StartTool(start), nullptr);
    if (hung) {
      ASSERT_TRUE(WaitUntil([&] { return IsHungAppWindow(chooser) != FALSE; }, 20000));
    }
    ClickClientPoint(window, kInstall.x, kInstall.y);
    const DWORD clicked = GetTickCount();
    const HWND box = WaitForWindow(kTitle, L"#32770", 12000);
    const DWORD waited = GetTickCount() - clicked;
    ASSERT_NE(box, nullptr) << "no message while the study program does not answer";
    if (hung) {
      EXPECT_LT(waited, static_cast<DWORD>(ScaledTimeout(1000))) << "waited for a hung program";
    }
    EXPECT_EQ(AnswerMessageBox(box).text, M4(L"Zembra英语第1册"));
    EXPECT_TRUE(PathExists(Library(kEntry1)));
    EXPECT_EQ(CloseWith(kContinue), 0);
  }
}

// Close from the taskbar while a message box waits: the box comes to the front, and once it is
// answered the window works as before.
TEST_F(EndToEnd, CloseFromTheTaskbarWhileABoxIsOpenBringsTheBoxForward) {
  StartStudyProgram();
  const HWND entry = StartWithTwoBooks();
  const HWND box = ClickForBox(kInstall);  // no study program registered: M1
  ASSERT_NE(box, nullptr);
  // The box takes the activation after it appears: the study program is brought forward only
  // once it has, or the box's activation would come after and take the front back.
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == box; }));
  const HWND other = FindWindowW(nullptr, L"Orvel2选书");
  // Wine settles the focus with the X server a little later: the change must have held once
  // both programs have handled what came of it, asked again until it does.
  ASSERT_TRUE(WaitUntil([&] {
    if (GetForegroundWindow() != other) SetForegroundWindow(other);
    WaitForMessagesHandled(box);
    WaitForMessagesHandled(other);
    return GetForegroundWindow() == other;
  }));
  // Close on the taskbar brings the box forward. Focus events of the X server that come late
  // under load may give the front back to the study program after that: Close is asked again
  // then, as a user would; every one brings the box forward and none ends the tool.
  EXPECT_TRUE(WaitUntil([&] {
    if (GetForegroundWindow() != box) PostMessageW(entry, WM_SYSCOMMAND, SC_CLOSE, 0);
    WaitForMessagesHandled(entry);
    return GetForegroundWindow() == box;
  }));
  EXPECT_EQ(tool.WaitForExit(0), -1) << "the tool ended with its box open";
  EXPECT_EQ(Answer(box).text, kM1);  // and the form takes input again
  // Windows gives the activation back to the box's owner; Wine now and then to the window
  // below, even after the tool has handled the box's end: the test activates the form as the
  // user would, again while the activation goes elsewhere, until the list has the keys.
  WaitForMessagesHandled(window);
  EXPECT_TRUE(WaitUntil([&] {
    if (GetForegroundWindow() != window) SetForegroundWindow(window);
    WaitForMessagesHandled(window);
    return ListHasTheKeys();
  }));
  EXPECT_EQ(SelectionAfterKey(VK_DOWN, 1), 1);
  EXPECT_EQ(CloseWith(kContinue), 0);
}

// A screen reader in another process reads the window's controls, presses them and follows
// the keyboard's focus through them.
TEST_F(EndToEnd, AScreenReaderReadsAndPressesEveryControl) {
  LayOutBook1();
  ASSERT_NE(StartTool(start), nullptr);
  const ScopedCom com;
  const AccessibleReader reader(window);
  ASSERT_TRUE(reader.Found()) << "no object that answers for IAccessible";
  const AccessibleElement self = reader.Self();
  EXPECT_EQ(self.name, kTitle);
  EXPECT_EQ(self.role, ROLE_SYSTEM_CLIENT);

  // In reading order, inside the window (child windows have objects of their own; the exact
  // places are the in-process tests' to compare with the controls' bounds).
  RECT frame;
  GetWindowRect(window, &frame);
  // The two child windows come as the system's objects of their windows, whose properties Wine
  // leaves unanswered.
  const HWND panel = FindWindowExW(window, nullptr, kOurClass, nullptr);
  const struct {
    const wchar_t* name;
    long role;
    HWND object;
  } expected[] = {
      {L"关闭", ROLE_SYSTEM_PUSHBUTTON, nullptr},
      {L"Tavrin英语 ", ROLE_SYSTEM_STATICTEXT, nullptr},
      {nullptr, 0, panel},
      {nullptr, ROLE_SYSTEM_STATICTEXT, nullptr},
      {L"下载《21天免费精通Zembra》", ROLE_SYSTEM_LINK, nullptr},
      {L"请选择要导入的书本，然后点”导入“按钮", ROLE_SYSTEM_STATICTEXT, nullptr},
      {nullptr, 0, list},
      {L"导入", ROLE_SYSTEM_PUSHBUTTON, nullptr},
      {L"退出", ROLE_SYSTEM_PUSHBUTTON, nullptr},
  };
  const std::vector<AccessibleElement> children = reader.Children();
  ASSERT_EQ(children.size(), std::size(expected));
  for (std::size_t i = 0; i < children.size(); ++i) {
    const AccessibleElement& child = children[i];
    SCOPED_TRACE(Narrow(child.name) + " at " + std::to_string(i));
    if (expected[i].object != nullptr) {
      EXPECT_EQ(child.childId, 0);
      EXPECT_EQ(child.window, expected[i].object);
      continue;
    }
    EXPECT_EQ(child.childId, static_cast<long>(i) + 1);
    if (expected[i].name != nullptr) {
      EXPECT_EQ(child.name, expected[i].name);
    }
    EXPECT_EQ(child.role, expected[i].role);
    RECT inside;
    EXPECT_TRUE(IntersectRect(&inside, &child.location, &frame) &&
                EqualRect(&inside, &child.location));
    EXPECT_EQ(child.state & STATE_SYSTEM_INVISIBLE, 0);
  }
  EXPECT_EQ(children[3].name.substr(0, 10), L"    本程序用以将");
  const long install = reader.ChildNamed(L"导入");
  EXPECT_EQ(reader.Child(install).state & (STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED),
            STATE_SYSTEM_FOCUSABLE);
  // The list is named by the label above it.
  EXPECT_EQ(AccessibleReader(list).Self().name, L"请选择要导入的书本，然后点”导入“按钮");

  // Tab takes the focus from the list to the import button: the screen reader is told, and
  // finds it focused.
  std::vector<std::pair<HWND, long>> events;
  const ScopedFocusEvents hook(tool.Id(), &events);
  ASSERT_TRUE(hook.Set());
  WaitUntil([&] { return ListHasTheKeys(); });
  PressKey(VK_TAB);
  const std::pair<HWND, long> toInstall(window, install);
  EXPECT_TRUE(WaitUntil(
      [&] { return std::find(events.begin(), events.end(), toInstall) != events.end(); }));
  EXPECT_NE(reader.Child(install).state & STATE_SYSTEM_FOCUSED, 0);
  EXPECT_EQ(reader.FocusedChild(), install);

  // The default action clicks as the pointer does, and returns before the box it opens is
  // answered.
  std::atomic<bool> returned{false};
  bool answeredAfterTheCall = false;
  MessageBoxSeen seen;
  TestThread user([&] {
    const HWND box = WaitForWindow(kTitle, L"#32770");
    WaitUntil([&] { return returned.load(); }, 5000);
    answeredAfterTheCall = returned;
    seen = AnswerMessageBox(box);
  });
  VARIANT id;
  id.vt = VT_I4;
  id.lVal = install;
  EXPECT_EQ(reader.Object()->accDoDefaultAction(id), S_OK);
  // Behind the box it opened, nothing can be pressed: no second import, no second box.
  ASSERT_NE(WaitForWindow(kTitle, L"#32770"), nullptr);
  EXPECT_NE(reader.Child(install).state & STATE_SYSTEM_UNAVAILABLE, 0);
  EXPECT_EQ(reader.Object()->accDoDefaultAction(id), DISP_E_MEMBERNOTFOUND);
  returned = true;
  user.Join();
  EXPECT_TRUE(answeredAfterTheCall) << "the default action waited for the box";
  EXPECT_EQ(seen.text, M4(L"Zembra英语第1册"));
  EXPECT_TRUE(PathExists(Library(kEntry1)));
  WaitUntil([&] { return IsWindowEnabled(window) != FALSE; });
  id.lVal = static_cast<long>(children.size());  // the exit button, last in reading order
  EXPECT_EQ(reader.Child(id.lVal).name, L"退出");
  EXPECT_EQ(reader.Object()->accDoDefaultAction(id), S_OK);
  EXPECT_EQ(tool.WaitForExit(), 0);
}

// Run by the ctest entry western_code_page, which starts the tool on a Western system (code
// page 1252) itself and checks that it ends with 0 once the box is answered.
TEST(WesternCodePage, TheToolExplainsWhatItNeedsBeforeAnyWindow) {
  if (std::getenv("ZEMBRA_WESTERN_TOOL") == nullptr) {
    GTEST_SKIP() << "runs from the ctest entry western_code_page";
  }
  const HWND box = WaitForWindow(kTitle, L"#32770", 30000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(FindWindowW(kOurClass, nullptr), nullptr);
  EXPECT_EQ(FindWindowW(kOurClass, kTitle), nullptr);
  const MessageBoxSeen seen = AnswerMessageBox(box);
  for (const wchar_t* part :
       {L"代码页 936", L"intl.cpl", L"管理员权限", L"code page for non-Unicode programs to be 936",
        L"this system uses code page 1252", L"administrator rights"}) {
    EXPECT_NE(seen.text.find(part), std::wstring::npos) << Narrow(part);
  }
  // The settings by the names Windows shows, in both halves of the box and in the guide,
  // which the user has beside it (in the package, as the build packs it).
  const std::string guide = ReadWholeFile(ProgramFolder() + "packed-guide.txt");
  ASSERT_FALSE(guide.empty());
  const auto utf8 = [](const std::wstring& text) {
    std::string out(text.size() * 3, '\0');
    out.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                   out.data(), static_cast<int>(out.size()), nullptr, nullptr));
    return out;
  };
  const std::size_t half = seen.text.find(L"This tool needs");
  ASSERT_NE(half, std::wstring::npos);
  const std::wstring english = seen.text.substr(half);
  for (const auto& [chinese, inEnglish] : std::vector<std::pair<std::wstring, std::wstring>>{
           {L"“管理”选项卡", L"Administrative tab"},
           {L"“更改系统区域设置”", L"\"Change system locale...\""},
           {L"“当前系统区域设置”", L"\"Current system locale\""},
           {L"“中文(简体，中国)”", L"\"Chinese (Simplified, China)\""},
           {L"“Beta 版: 使用 Unicode UTF-8 提供全球语言支持”",
            L"\"Beta: Use Unicode UTF-8 for worldwide language support\""},
           {L"“高级”选项卡", L"Advanced tab"},
           {L"“非 Unicode 程序的语言”", L"\"Language for non-Unicode programs\""},
           {L"“中文(中国)”", L"\"Chinese (PRC)\""},
           {L"“语言”选项卡", L"Languages tab"},
           {L"“为东亚语言安装文件”", L"\"Install files for East Asian languages\""},
       }) {
    EXPECT_NE(seen.text.find(chinese), std::wstring::npos) << Narrow(chinese);
    EXPECT_NE(english.find(inEnglish), std::wstring::npos) << Narrow(inEnglish);
    EXPECT_NE(guide.find(utf8(chinese)), std::string::npos)
        << "the guide names " << Narrow(chinese);
    EXPECT_NE(guide.find(utf8(inEnglish)), std::string::npos)
        << "the guide names " << Narrow(inEnglish);
  }
  // On XP the East Asian files come first: Chinese is not in the list before they are in.
  for (const auto& [eastAsian, chinese] :
       {std::pair<std::wstring, std::wstring>{L"为东亚语言安装文件", L"设为“中文(中国)”"},
        {L"Install files for East Asian languages", L"to \"Chinese (PRC)\""}}) {
    EXPECT_LT(seen.text.find(eastAsian), seen.text.rfind(chinese)) << Narrow(chinese);
  }
  EXPECT_TRUE(seen.hasIcon);
}
