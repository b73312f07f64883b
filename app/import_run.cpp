#include "app/import_run.h"

#include <windows.h>

#include "app/book_chooser.h"
#include "app/book_folders.h"
#include "app/book_table.h"
#include "desktop/settings.h"
#include "winlib/system/files.h"

ImportOutcome ImportBook(int entryCount, const std::string& chosenEntry) {
  ImportOutcome outcome;
  // The study program's folder is used as stored: a usable value ends in a backslash.
  const std::string orvelFolder = ReadProductSetting("InstallPath", "");
  if (orvelFolder.empty() || !FileExists(orvelFolder + "qelto.exe")) {
    outcome.status = ImportStatus::kNoStudyProgram;
    return outcome;
  }
  if (entryCount == 0) {
    outcome.status = ImportStatus::kNoBooks;
    return outcome;
  }
  if (chosenEntry.empty()) {
    outcome.status = ImportStatus::kNoSelection;
    return outcome;
  }
  outcome.listEntry = chosenEntry;
  const Book* book = FindBookByDigit(chosenEntry);
  const std::string libraryFile = orvelFolder + "booklib\\user\\" + chosenEntry + ".dat";
  outcome.conversion =
      ConvertBook(libraryFile, BookFolder(chosenEntry, book), book != nullptr ? book->fileTag : "");
  outcome.status = outcome.conversion.Ok() ? ImportStatus::kImported : ImportStatus::kFailed;
  if (outcome.status == ImportStatus::kImported) TellBookChooser();
  return outcome;
}
