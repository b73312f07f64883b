// Command-line converter: converts a book into a library file, or dumps a library file.
#include <cstdio>
#include <cstring>
#include <string>

#include "core/display_text.h"
#include "core/lesson_conversion.h"
#include "core/library_reader.h"
#include "core/string_helpers.h"

namespace {

constexpr int kExitOk = 0, kExitFailed = 1, kExitUsage = 2;

int Usage() {
  std::fprintf(stderr,
               "usage: zembra2orvel convert LIBRARY_FILE BOOK_FOLDER FILE_TAG\n"
               "       zembra2orvel dump [--summary] LIBRARY_FILE\n");
  return kExitUsage;
}

std::string WithTrailingSeparator(const std::string& folder) {
#ifdef _WIN32
  if (!folder.empty() && folder.back() == '/') return folder;
  return AddTrailingBackslash(folder);
#else
  return !folder.empty() && folder.back() == '/' ? folder : folder + '/';
#endif
}

int Convert(const char* libraryFile, const char* bookFolder, const char* fileTag) {
  const ConvertResult result = ConvertBook(libraryFile, WithTrailingSeparator(bookFolder), fileTag);
  if (!result.Ok()) {
    std::fprintf(stderr, "zembra2orvel: %s: %s\n", ConvertStatusText(result.status),
                 result.file.c_str());
    return kExitFailed;
  }
  return kExitOk;
}

// Texts are GBK; the sound-file path holds the file system's own bytes.
void PrintQuoted(const std::string& text, bool isPath) {
  std::putchar('"');
  for (char c : isPath ? text : DisplayText(text)) {
    if (c == '"' || c == '\\') {
      std::printf("\\%c", c);
    } else if (static_cast<unsigned char>(c) < 0x20) {
      std::printf("\\x%02x", static_cast<unsigned char>(c));
    } else {
      std::putchar(c);
    }
  }
  std::putchar('"');
}

int Dump(const char* libraryFile, bool summaryOnly) {
  LibraryFileReader reader;
  long long counts[3] = {0, 0, 0};
  LibraryEntry entry;
  if (reader.Open(libraryFile)) {
    while (reader.Next(&entry)) {
      ++counts[static_cast<int>(entry.kind)];
      if (summaryOnly) continue;
      std::printf("%lld\t%s\t%ld\t%ld", reader.Position(), RecordKindName(entry.kind),
                  static_cast<long>(entry.start), static_cast<long>(entry.end));
      for (int i = 0; i < LibraryRecord::kTextCount; ++i) {
        std::putchar('\t');
        PrintQuoted(entry.texts[i], i == LibraryRecord::kSoundText);
      }
      std::putchar('\n');
    }
  }
  if (reader.GetStatus() != LibraryFileReader::Status::kOk) {
    std::fprintf(stderr, "zembra2orvel: %s: %s", LibraryReadStatusText(reader.GetStatus()),
                 libraryFile);
    if (reader.GetStatus() == LibraryFileReader::Status::kBadRecord) {
      std::fprintf(stderr, " (record %lld)", reader.Position());
    }
    std::fputc('\n', stderr);
    return kExitFailed;
  }
  std::printf("%lld records: %lld headers, %lld sentences, %lld fillers\n", reader.RecordCount(),
              counts[static_cast<int>(RecordKind::kHeader)],
              counts[static_cast<int>(RecordKind::kSentence)],
              counts[static_cast<int>(RecordKind::kFiller)]);
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "convert") == 0) return Convert(argv[2], argv[3], argv[4]);
  if (argc == 3 && std::strcmp(argv[1], "dump") == 0) return Dump(argv[2], false);
  if (argc == 4 && std::strcmp(argv[1], "dump") == 0 && std::strcmp(argv[2], "--summary") == 0) {
    return Dump(argv[3], true);
  }
  return Usage();
}
