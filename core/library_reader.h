// Reads a library file back into records: kinds, times and texts.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "core/library_record.h"

enum class RecordKind { kHeader, kSentence, kFiller };

struct LibraryEntry {
  RecordKind kind = RecordKind::kSentence;
  std::int32_t start = 0;
  std::int32_t end = 0;
  std::string texts[LibraryRecord::kTextCount];
};

// Decodes one 2048-byte record; false when it lacks its end marker.
bool DecodeLibraryRecord(const unsigned char* bytes, LibraryEntry* entry);

const char* RecordKindName(RecordKind kind);

class LibraryFileReader {
 public:
  enum class Status { kOk, kCannotOpen, kBadSize, kBadRecord, kReadFailed };

  // Opens the file and checks that it is made of whole records.
  bool Open(const std::string& path);
  // The next record; false at the end of the file or on a malformed record (see GetStatus).
  bool Next(LibraryEntry* entry);

  Status GetStatus() const { return status_; }
  long long RecordCount() const { return recordCount_; }
  // Position of the record that Next returned last (or failed on).
  long long Position() const { return position_; }

 private:
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, FileCloser> file_;
  Status status_ = Status::kCannotOpen;
  long long recordCount_ = 0;
  long long position_ = -1;
};

const char* LibraryReadStatusText(LibraryFileReader::Status status);
