// The import run: what a click on the import button does.
#include <windows.h>

#include <vector>

#include "app/book_table.h"
#include "app/install_form.h"
#include "app/messages.h"
#include "core/lesson_conversion.h"
#include "core/string_helpers.h"
#include "desktop/settings.h"
#include "winlib/application.h"
#include "winlib/file_tests.h"
#include "winlib/list_box.h"

namespace {

// The process's current directory, whatever its length; empty when it cannot be read.
std::string CurrentDirectory() {
  const DWORD needed = GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) return std::string();
  std::vector<char> buffer(needed + 1, '\0');
  const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length == 0 || length >= buffer.size()) return std::string();
  return std::string(buffer.data(), length);
}

}  // namespace

void TInstallForm::btInstallClick(TObject*) {
  // The study program's folder is used as stored: a usable value ends in a backslash.
  const std::string orvelFolder = ReadProductSetting("InstallPath", "");
  if (orvelFolder.empty() || !FileExists(orvelFolder + "qelto.exe")) {
    ShowMessage(kMessageNoOrvel);
    return;
  }
  if (lsVolume->Items().Count() == 0) {
    ShowMessage(kMessageNoBooks);
    return;
  }
  if (lsVolume->ItemIndex() == -1) {
    ShowMessage(kMessageNoSelection);
    return;
  }
  const std::string listEntry = lsVolume->Items().Strings(lsVolume->ItemIndex());

  const Book* book = FindBookByDigit(listEntry);
  std::string courseFolder;
  std::string fileTag;
  if (book != nullptr) {
    courseFolder = ReadVBSetting(book->settingsKey, "Options", "Installation", "");
    fileTag = book->fileTag;
  }
  // Without a registered course folder the tool may have been copied into the course
  // program's folder and started from there.
  if (courseFolder.empty()) courseFolder = CurrentDirectory();
  courseFolder = AddTrailingBackslash(courseFolder);

  std::string folderName = listEntry;
  std::string alternativeName;
  if (!DirectoryExists(courseFolder + "books\\" + listEntry + "\\")) {
    folderName = book != nullptr ? book->shortName : "";
    alternativeName = book != nullptr ? book->listEntry : "";
  }
  std::string bookFolder = courseFolder + "books\\" + folderName + "\\";
  if (!DirectoryExists(bookFolder)) bookFolder = courseFolder + "books\\" + alternativeName + "\\";

  const std::string libraryFile = orvelFolder + "booklib\\user\\" + listEntry + ".dat";
  if (ConvertLessons(libraryFile, bookFolder, fileTag) == 1) {
    if (const HWND chooser = FindWindowA(nullptr, kBookChooserTitle)) {
      SendMessageA(chooser, kLibraryChangedMessage, 0, 0);
    }
    ShowMessage(ImportSucceededMessage(listEntry));
  } else {
    ShowMessage(ImportFailedMessage(listEntry));
  }
}
