// Feeds arbitrary lesson-list and timing-file bytes through the conversion. The input is the
// lesson list, then the timing files of lessons 1, 2, ..., each after a "\0\0" separator. A
// successful conversion must read back whole; a failed one must leave no library file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/lesson_conversion.h"
#include "app/library_reader.h"

namespace {

const std::string& Folder();

// The folder holds only the files of the last input; they go with it at exit.
void RemoveFolder() {
  const std::string& folder = Folder();
  for (const char* name : {"lesson.txt", "library.dat"}) std::remove((folder + name).c_str());
  for (int i = 1; i <= 20; ++i) {
    char lrc[32];
    std::snprintf(lrc, sizeof lrc, "zmb1%03d.lrc", i);
    std::remove((folder + lrc).c_str());
  }
  rmdir(folder.c_str());
}

const std::string& Folder() {
  static const std::string folder = [] {
    // Memory-backed when there is one: every input is a few files written and removed.
    std::string pattern =
        std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/zfuzz_XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern + "/";
  }();
  // Registered after the folder's name, so it runs while the name still exists.
  static const bool cleanup = std::atexit(RemoveFolder) == 0;
  (void)cleanup;
  return folder;
}

void Write(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string& folder = Folder();
  std::size_t start = 0;
  int lesson = 0;
  for (;;) {
    const std::size_t sep = input.find(std::string("\0\0", 2), start);
    const std::string part = input.substr(start, sep == std::string::npos ? sep : sep - start);
    char name[32];
    std::snprintf(name, sizeof name, "zmb1%03d.lrc", lesson);
    Write(folder + (lesson == 0 ? std::string("lesson.txt") : std::string(name)), part);
    ++lesson;
    if (sep == std::string::npos || lesson > 20) break;
    start = sep + 2;
  }

  const std::string library = folder + "library.dat";
  const ConvertResult result = ConvertBook(library, folder, "zmb1");
  if (result.Ok()) {
    LibraryFileReader reader;
    if (!reader.Open(library)) std::abort();
    LibraryEntry entry;
    while (reader.Next(&entry)) {
      if (entry.kind == RecordKind::kHeader && reader.Position() % 5 != 0) std::abort();
    }
    if (reader.GetStatus() != LibraryFileReader::Status::kOk) std::abort();
  } else if (access(library.c_str(), F_OK) == 0 || access((library + ".tmp").c_str(), F_OK) == 0) {
    std::abort();  // a failed conversion leaves nothing behind
  }
  std::remove(library.c_str());
  for (int i = 1; i < lesson; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "zmb1%03d.lrc", i);
    std::remove((folder + name).c_str());
  }
  return 0;
}
