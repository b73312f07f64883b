// Feeds arbitrary bytes as a library file through the reader that the converter's dump uses,
// and checks every record it returns against the record layout: the six texts with their NULs
// and the end marker are the record's first bytes, the times and the kind come from their
// fields. A record is refused exactly when its end marker does not follow six texts.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/display_text.h"
#include "core/library_reader.h"

namespace {

const std::string& LibraryPath();

void RemoveFolder() {
  const std::string& path = LibraryPath();
  std::remove(path.c_str());
  rmdir(path.substr(0, path.rfind('/')).c_str());
}

const std::string& LibraryPath() {
  static const std::string path = [] {
    // Memory-backed when there is one: every input is a few files written and removed.
    std::string pattern =
        std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/zfuzzlib_XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern + "/library.dat";
  }();
  // Registered after the path, so it runs while the path still exists.
  static const bool cleanup = std::atexit(RemoveFolder) == 0;
  (void)cleanup;
  return path;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

std::int32_t Int(const std::uint8_t* bytes, std::size_t offset) {
  std::uint32_t u = 0;
  for (int i = 3; i >= 0; --i) u = u << 8 | bytes[offset + i];
  return static_cast<std::int32_t>(u);
}

// Where the end marker lies (a 0xFF right after a NUL, not at the very first byte), and
// whether exactly six texts come before it; -1 when the record holds no valid marker.
int ValidEnd(const std::uint8_t* record) {
  for (std::size_t i = 1; i < LibraryRecord::kTextAreaSize; ++i) {
    if (record[i] != 0xFF || record[i - 1] != 0) continue;
    int nuls = 0;
    for (std::size_t j = 0; j < i; ++j) nuls += record[j] == 0;
    return nuls == LibraryRecord::kTextCount ? static_cast<int>(i) : -1;
  }
  return -1;
}

void CheckEntry(const std::uint8_t* record, int end, const LibraryEntry& entry) {
  std::string area;
  for (const std::string& text : entry.texts) {
    Check(text.find('\0') == std::string::npos);
    area += text;
    area += '\0';
    // What the dump prints: plain ASCII passes unchanged.
    const std::string shown = DisplayText(text);
    bool ascii = true;
    for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) Check(shown == text);
  }
  area += '\xFF';
  Check(static_cast<int>(area.size()) == end + 1);
  Check(std::memcmp(area.data(), record, area.size()) == 0);
  Check(entry.start == Int(record, LibraryRecord::kStartOffset));
  Check(entry.end == Int(record, LibraryRecord::kEndOffset));
  RecordKind kind = RecordKind::kSentence;
  if (Int(record, LibraryRecord::kFillerMarkOffset) == LibraryRecord::kFillerMark) {
    kind = RecordKind::kFiller;
  } else if (Int(record, LibraryRecord::kHeaderFlagOffset) == 1) {
    kind = RecordKind::kHeader;
  }
  Check(entry.kind == kind);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = LibraryPath();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  Check(std::fwrite(data, 1, size, f) == size);
  Check(std::fclose(f) == 0);

  LibraryFileReader reader;
  const bool whole = size % LibraryRecord::kSize == 0;
  Check(reader.Open(path) == whole);
  if (!whole) {
    Check(reader.GetStatus() == LibraryFileReader::Status::kBadSize);
    LibraryEntry entry;
    Check(!reader.Next(&entry));
    return 0;
  }
  const long long count = static_cast<long long>(size / LibraryRecord::kSize);
  Check(reader.RecordCount() == count);
  LibraryEntry entry;
  long long read = 0;
  for (; read < count; ++read) {
    const std::uint8_t* record = data + read * LibraryRecord::kSize;
    const int end = ValidEnd(record);
    const bool next = reader.Next(&entry);
    Check(reader.Position() == read);
    Check(next == (end >= 0));
    if (!next) break;
    CheckEntry(record, end, entry);
  }
  if (read == count) {
    Check(!reader.Next(&entry));
    Check(reader.GetStatus() == LibraryFileReader::Status::kOk);
  } else {
    Check(reader.GetStatus() == LibraryFileReader::Status::kBadRecord);
    Check(!reader.Next(&entry));
  }
  return 0;
}
