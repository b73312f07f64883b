// Feeds arbitrary lesson-list and timing-file bytes through the conversion. The input is the
// lesson list, then the timing files of lessons 1, 2, ..., each after a "\0\0" separator. A
// successful conversion must read back whole, with every lesson at a multiple of five and every
// sentence's times as a plain reading of its timing file gives them; a failed one must leave no
// library file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/lesson_conversion.h"
#include "core/library_reader.h"
#include "core/timing_line.h"

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

// The times of a timing file, split into lines here on their own: a line ends at LF, a line of
// blanks only gives no time, every other line gives the time of its tag.
std::vector<std::int32_t> TimesOf(const std::string& timing) {
  std::vector<std::int32_t> times;
  std::size_t begin = 0;
  while (begin < timing.size()) {
    const std::size_t lf = timing.find('\n', begin);
    const std::size_t end = lf == std::string::npos ? timing.size() : lf + 1;
    const std::string line = timing.substr(begin, end - begin);
    if (line.find_first_not_of(" \t\r\n") != std::string::npos) {
      times.push_back(TimeFromTimingTag(line.data(), line.size()));
    }
    begin = end;
  }
  return times;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string& folder = Folder();
  std::size_t start = 0;
  int lesson = 0;
  std::vector<std::string> parts;
  for (;;) {
    const std::size_t sep = input.find(std::string("\0\0", 2), start);
    const std::string& part =
        parts.emplace_back(input.substr(start, sep == std::string::npos ? sep : sep - start));
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
    std::size_t header = 0, k = 0;
    std::vector<std::int32_t> times;
    auto at = [&times](std::size_t n) { return n < times.size() ? times[n] : -100; };
    while (reader.Next(&entry)) {
      if (entry.kind == RecordKind::kHeader) {
        if (reader.Position() % 5 != 0 || ++header >= parts.size()) std::abort();
        times = TimesOf(parts[header]);
        k = 0;
      } else if (entry.kind == RecordKind::kSentence) {
        if (header == 0 || entry.start != at(k) || entry.end != at(k + 1)) std::abort();
        ++k;
      }
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
