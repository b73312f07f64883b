// Converts one book of the course program (lesson list and timing files) into one library
// file of the study program.
#pragma once

#include <string>

enum class ConvertStatus {
  kOk,
  kLessonListUnreadable,  // the lesson list cannot be opened or read
  kLibraryNotCreated,     // the library file (its staging file) cannot be created
  kTimingFileMissing,     // a lesson's timing file cannot be opened or read
  kSoundPathTooLong,      // a sound-file path does not fit a record on its own
  kWriteFailed,           // writing, flushing or closing the library file failed
  kReplaceFailed,         // the finished file could not take the library file's place
};

struct ConvertResult {
  ConvertStatus status = ConvertStatus::kOk;
  std::string file;  // the file that the failure concerns
  bool Ok() const { return status == ConvertStatus::kOk; }
};

// What failed, in a few English words, for the command-line converter.
const char* ConvertStatusText(ConvertStatus status);

// bookFolder ends in a backslash (or the platform's separator); it prefixes "lesson.txt" and
// every timing and sound file name unchanged. The library file is replaced only when the whole
// book was written.
ConvertResult ConvertBook(const std::string& libraryFile, const std::string& bookFolder,
                          const std::string& fileTag);

// 1 when the book was converted and written, -1 on any failure.
int ConvertLessons(const std::string& libraryFile, std::string bookFolder,
                   const std::string& fileTag);
