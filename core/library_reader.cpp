#include "core/library_reader.h"

#include <cstring>

namespace {

long long FileSize(std::FILE* file) {
#ifdef _WIN32
  if (_fseeki64(file, 0, SEEK_END) != 0) return -1;
  const long long size = _ftelli64(file);
  if (_fseeki64(file, 0, SEEK_SET) != 0) return -1;
#else
  if (fseeko(file, 0, SEEK_END) != 0) return -1;
  const long long size = ftello(file);
  if (fseeko(file, 0, SEEK_SET) != 0) return -1;
#endif
  return size;
}

}  // namespace

bool DecodeLibraryRecord(const unsigned char* bytes, LibraryEntry* entry) {
  const int end = LibraryRecord::FindEnd(bytes);
  if (end < 0) return false;
  int start = 0;
  for (int i = 0; i < LibraryRecord::kTextCount; ++i) {
    // The NUL right before the end marker bounds every text that starts before it.
    if (start >= end) return false;
    const char* text = reinterpret_cast<const char*>(bytes + start);
    const std::size_t length = std::strlen(text);
    entry->texts[i].assign(text, length);
    start += static_cast<int>(length) + 1;
  }
  if (start != end) return false;
  entry->start = LibraryRecord::GetInt(bytes, LibraryRecord::kStartOffset);
  entry->end = LibraryRecord::GetInt(bytes, LibraryRecord::kEndOffset);
  if (LibraryRecord::GetInt(bytes, LibraryRecord::kFillerMarkOffset) ==
      LibraryRecord::kFillerMark) {
    entry->kind = RecordKind::kFiller;
  } else if (LibraryRecord::GetInt(bytes, LibraryRecord::kHeaderFlagOffset) == 1) {
    entry->kind = RecordKind::kHeader;
  } else {
    entry->kind = RecordKind::kSentence;
  }
  return true;
}

const char* RecordKindName(RecordKind kind) {
  switch (kind) {
    case RecordKind::kHeader:
      return "header";
    case RecordKind::kSentence:
      return "sentence";
    case RecordKind::kFiller:
      return "filler";
  }
  return "?";
}

bool LibraryFileReader::Open(const std::string& path) {
  file_.reset(std::fopen(path.c_str(), "rb"));
  position_ = -1;
  recordCount_ = 0;
  if (!file_) {
    status_ = Status::kCannotOpen;
    return false;
  }
  const long long size = FileSize(file_.get());
  if (size < 0 || size % static_cast<long long>(LibraryRecord::kSize) != 0) {
    status_ = size < 0 ? Status::kReadFailed : Status::kBadSize;
    return false;
  }
  recordCount_ = size / static_cast<long long>(LibraryRecord::kSize);
  status_ = Status::kOk;
  return true;
}

bool LibraryFileReader::Next(LibraryEntry* entry) {
  if (!file_ || status_ != Status::kOk || position_ + 1 >= recordCount_) return false;
  ++position_;
  unsigned char bytes[LibraryRecord::kSize];
  if (std::fread(bytes, 1, sizeof bytes, file_.get()) != sizeof bytes) {
    status_ = Status::kReadFailed;
    return false;
  }
  if (!DecodeLibraryRecord(bytes, entry)) {
    status_ = Status::kBadRecord;
    return false;
  }
  return true;
}

const char* LibraryReadStatusText(LibraryFileReader::Status status) {
  switch (status) {
    case LibraryFileReader::Status::kOk:
      return "ok";
    case LibraryFileReader::Status::kCannotOpen:
      return "cannot open the library file";
    case LibraryFileReader::Status::kBadSize:
      return "size is not a multiple of 2048 bytes";
    case LibraryFileReader::Status::kBadRecord:
      return "record without its end marker";
    case LibraryFileReader::Status::kReadFailed:
      return "cannot read the library file";
  }
  return "?";
}
