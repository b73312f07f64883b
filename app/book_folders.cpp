#include "app/book_folders.h"

#include <windows.h>

#include <vector>

#include "core/string_helpers.h"
#include "desktop/settings.h"
#include "winlib/system/files.h"

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

std::string RegisteredCourseFolder(const Book& book) {
  return ReadVBSetting(book.settingsKey, "Options", "Installation", "");
}

bool BookInstalled(const Book& book) {
  return !RegisteredCourseFolder(book).empty() ||
         FileExists(std::string("BOOKS\\") + book.listEntry + "\\lesson.txt") ||
         FileExists(std::string("BOOKS\\") + book.shortName + "\\lesson.txt");
}

std::string BookFolder(const std::string& listEntry, const Book* book) {
  std::string courseFolder = book != nullptr ? RegisteredCourseFolder(*book) : std::string();
  // Without a registered course folder the tool may have been copied into the course
  // program's folder and started from there.
  if (courseFolder.empty()) courseFolder = CurrentDirectory();
  const std::string books = AddTrailingBackslash(courseFolder) + "books\\";

  if (DirectoryExists(books + listEntry + "\\")) return books + listEntry + "\\";
  const std::string shortFolder = books + (book != nullptr ? book->shortName : "") + "\\";
  if (DirectoryExists(shortFolder)) return shortFolder;
  return books + (book != nullptr ? book->listEntry : "") + "\\";
}
