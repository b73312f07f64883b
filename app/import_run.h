// The import run: the checks, the conversion of the chosen book into the study program's
// library, and the study program's book chooser told of it. The window reports the outcome.
#pragma once

#include <string>

#include "core/lesson_conversion.h"

enum class ImportStatus {
  kNoStudyProgram,  // the study program is not registered, or its program file is missing
  kNoBooks,         // the list is empty
  kNoSelection,     // no book is chosen
  kImported,
  kFailed,  // the conversion failed; conversion says where
};

struct ImportOutcome {
  ImportStatus status = ImportStatus::kFailed;
  std::string listEntry;     // the book chosen, once the checks passed
  ConvertResult conversion;  // for kImported and kFailed
};

// Imports the book of the chosen list entry; entryCount and chosenEntry (empty: none chosen)
// describe the list as the user left it.
ImportOutcome ImportBook(int entryCount, const std::string& chosenEntry);
