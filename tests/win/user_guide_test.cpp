// The user guide quotes the program's own texts byte for byte: every message line of its
// section on messages is one the program shows, as compiled (GBK), and each one is quoted;
// the registry keys it names are those the program reads, and its address is the link's.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/book_table.h"
#include "app/messages.h"
#include "desktop/settings.h"
#include "tests/common/temp_dir.h"
#include "tests/win/robot.h"
#include "winlib/application/application.h"
#include "winlib/graphics/picture.h"
#include "winlib/system/exception.h"
#include "winlib/system/registry.h"

namespace {

// The guide as the package holds it (UTF-8 after a byte-order mark, every line ended with
// CR LF, as Notepad reads it on any code page where the system has a Chinese font), in GBK
// for comparing with the program's texts; empty when it is not so packed or does not convert.
std::string GuideInGbk(const std::string& path) {
  const std::string packed = ReadWholeFile(path);
  const std::string bom = "\xEF\xBB\xBF";
  if (packed.compare(0, bom.size(), bom) != 0) return std::string();
  for (std::size_t at = packed.find('\n'); at != std::string::npos;
       at = packed.find('\n', at + 1)) {
    if (at == 0 || packed[at - 1] != '\r') return std::string();
  }
  const std::string utf8 = packed.substr(bom.size());
  const int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                       static_cast<int>(utf8.size()), nullptr, 0);
  if (wide <= 0) return std::string();
  std::wstring text(wide, L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                      text.data(), wide);
  BOOL lossy = FALSE;
  const int size = WideCharToMultiByte(936, 0, text.data(), wide, nullptr, 0, nullptr, &lossy);
  if (size <= 0 || lossy) return std::string();
  std::string gbk(size, '\0');
  WideCharToMultiByte(936, 0, text.data(), wide, gbk.data(), size, nullptr, &lossy);
  return gbk;
}

// The messages the guide quotes: in its section on messages (from "四、" to "五、"), each on
// a line of its own, numbered, between “ and ”.
std::vector<std::string> QuotedMessages(const std::string& guide) {
  const std::string open = "“", close = "”";
  std::vector<std::string> quoted;
  bool inSection = false;
  std::size_t at = 0;
  while (at < guide.size()) {
    std::size_t end = guide.find('\n', at);
    if (end == std::string::npos) end = guide.size();
    std::string line = guide.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("四、", 0) == 0) inSection = true;
    if (line.rfind("五、", 0) == 0) inSection = false;
    const std::size_t digits = line.find_first_not_of("0123456789");
    if (!inSection || digits == 0 || digits == std::string::npos) continue;
    const std::string lead = ". " + open;
    if (line.compare(digits, lead.size(), lead) != 0) continue;
    const std::size_t from = digits + lead.size();
    if (line.size() < from + close.size() ||
        line.compare(line.size() - close.size(), close.size(), close) != 0) {
      quoted.push_back("(not closed) " + line);
      continue;
    }
    quoted.push_back(line.substr(from, line.size() - close.size() - from));
  }
  return quoted;
}

// What the exception display shows for the exception the call raises.
template <class Call>
std::string DisplayedException(Call call) {
  try {
    call();
  } catch (const Exception& e) {
    return ExceptionDisplayText(e.Message());
  }
  return "(nothing raised)";
}

// A setting of the wrong type, read as the tool reads its settings.
std::string WrongTypeDisplay(const std::string& name) {
  const std::string key = "Software\\ZembraImport tests\\Guide";
  SetRegDword(key, name, 1);
  const std::string shown = DisplayedException([&] {
    TRegistry registry;
    registry.SetRootKey(HKEY_CURRENT_USER);
    if (registry.OpenKey(key, false)) registry.ReadString(name);
  });
  DeleteRegTree(HKEY_CURRENT_USER, "Software\\ZembraImport tests");
  return shown;
}

// A damaged skin picture, loaded from the current folder as the skinned window loads it.
std::string DamagedPictureDisplay(const std::string& relativePath) {
  TempDir dir;
  EXPECT_TRUE(MakeDir(dir / "InstallForm"));
  EXPECT_TRUE(WriteFileBytes(dir / relativePath, "BM not a picture"));
  const ScopedCurrentDirectory current(dir.Path());
  EXPECT_TRUE(current.Changed());
  return DisplayedException([&] {
    TPicture picture;
    picture.LoadFromFile(relativePath);
  });
}

// The key in full when the reader finds a value stored under it, as the guide names it.
template <class Read>
std::string KeyWhereRead(const std::string& key, const std::string& name, Read read) {
  SetRegString(key, name, "C:\\read here\\");
  const bool found = read() == "C:\\read here\\";
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_SET_VALUE, &opened) == ERROR_SUCCESS) {
    RegDeleteValueA(opened, name.c_str());
    RegCloseKey(opened);
  }
  return found ? "HKEY_CURRENT_USER\\" + key : "(not read from) " + key;
}

}  // namespace

TEST(UserGuide, QuotesEveryMessageOfTheProgramByteForByte) {
  const std::string guide = GuideInGbk(ProgramFolder() + "packed-guide.txt");
  ASSERT_FALSE(guide.empty());
  // M4 and M5 name the book; the guide writes 书名 (book title) in its place.
  std::vector<std::string> program = {kMessageNoOrvel,
                                      kMessageNoSelection,
                                      kMessageNoBooks,
                                      ImportSucceededMessage("书名"),
                                      ImportFailedMessage("书名"),
                                      WrongTypeDisplay("Installation"),
                                      WrongTypeDisplay("InstallPath"),
                                      DamagedPictureDisplay("InstallForm\\btInstall-a.bmp")};
  EXPECT_EQ(program[5], "Invalid data type for 'Installation'");
  EXPECT_EQ(program[7], "Bitmap image is not valid: InstallForm\\btInstall-a.bmp.");

  std::vector<std::string> quoted = QuotedMessages(guide);
  for (const std::string& text : quoted) {
    EXPECT_NE(std::find(program.begin(), program.end(), text), program.end())
        << "the guide quotes a text the program does not show: " << text;
  }
  std::sort(quoted.begin(), quoted.end());
  std::sort(program.begin(), program.end());
  EXPECT_EQ(quoted, program) << "each message once";

  // The places the guide names for the messages' fixes and for the download link.
  std::vector<std::string> places = {
      kDownloadPage, KeyWhereRead("Software\\Tavrin\\Orvel", "InstallPath",
                                  [] { return ReadProductSetting("InstallPath", ""); })};
  for (const Book& book : kBooks) {
    places.push_back(KeyWhereRead(
        std::string("Software\\VB and VBA Program Settings\\") + book.settingsKey + "\\Options",
        "Installation",
        [&] { return ReadVBSetting(book.settingsKey, "Options", "Installation", ""); }));
  }
  for (const std::string& place : places) {
    EXPECT_NE(guide.find(place), std::string::npos) << "the guide names " << place;
  }
}
