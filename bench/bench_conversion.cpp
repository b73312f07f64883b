// Conversion speed against its limit (writing the same records with a plain buffered loop), and
// peak memory for a small and a large book. Usage: bench_conversion WORK_FOLDER
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/lesson_conversion.h"
#include "core/library_record.h"

namespace {

constexpr int kSentencesPerLesson = 12;
constexpr int kRuns = 5;

void WriteBook(const std::string& folder, int lessons) {
  mkdir(folder.c_str(), 0755);
  std::FILE* list = std::fopen((folder + "lesson.txt").c_str(), "wb");
  if (list == nullptr) std::exit(1);
  for (int lesson = 1; lesson <= lessons; ++lesson) {
    std::fprintf(list, "$Lesson %d  \xB5\xDA%d\xBF\xCE\r\n", lesson, lesson);
    char name[64];
    std::snprintf(name, sizeof name, "zmb1%03d.lrc", lesson);
    std::FILE* timing = std::fopen((folder + name).c_str(), "wb");
    if (timing == nullptr) std::exit(1);
    for (int k = 0; k < kSentencesPerLesson; ++k) {
      std::fprintf(list, "%d. Where is the station, please? Sentence %d of lesson %d.\r\n", k + 1,
                   k + 1, lesson);
      std::fprintf(list, "  \xC7\xEB\xCE\xCA\xB3\xB5\xD5\xBE\xD4\xDA\xC4\xC4\xC0\xEF\r\n");
      std::fprintf(timing, "[%02d:%05.2f]Where is the station, please?\r\n", k / 20,
                   (k % 20) * 2.87);
    }
    std::fclose(timing);
  }
  std::fclose(list);
}

double Seconds(const std::chrono::steady_clock::time_point& start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double TimeConversion(const std::string& library, const std::string& book) {
  const auto start = std::chrono::steady_clock::now();
  if (ConvertLessons(library, book, "zmb1") != 1) {
    std::fprintf(stderr, "conversion failed\n");
    std::exit(1);
  }
  return Seconds(start);
}

double TimePlainWrite(const std::string& path, long long records) {
  unsigned char record[LibraryRecord::kSize] = {};
  const auto start = std::chrono::steady_clock::now();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::exit(1);
  for (long long i = 0; i < records; ++i) {
    record[0] = static_cast<unsigned char>(i);
    std::fwrite(record, 1, sizeof record, f);
  }
  std::fclose(f);
  return Seconds(start);
}

// Peak resident memory of a child process that converts the book once.
long PeakKiB(const std::string& library, const std::string& book) {
  const pid_t child = fork();
  if (child == 0) _exit(ConvertLessons(library, book, "zmb1") == 1 ? 0 : 1);
  int status = 0;
  struct rusage usage {};
  wait4(child, &status, 0, &usage);
  return usage.ru_maxrss;
}

long long FileSize(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bench_conversion WORK_FOLDER\n");
    return 2;
  }
  const std::string work = std::string(argv[1]) + "/";
  mkdir(work.c_str(), 0755);
  const std::string small = work + "book300/", large = work + "book3000/";
  WriteBook(small, 300);
  WriteBook(large, 3000);
  const std::string library = work + "library.dat";

  TimeConversion(library, large);
  const long long records = FileSize(library) / static_cast<long long>(LibraryRecord::kSize);
  // Runs alternate, so that both see the same state of the page cache and its write-back.
  double convert = 1e9, limit = 1e9;
  for (int run = 0; run < kRuns; ++run) {
    convert = std::min(convert, TimeConversion(library, large));
    limit = std::min(limit, TimePlainWrite(work + "plain.dat", records));
  }
  std::printf("book: 3000 lessons x %d sentences, %lld records (%.1f MiB)\n", kSentencesPerLesson,
              records, records * 2048.0 / (1 << 20));
  std::printf("conversion        %8.1f ms  (best of %d)\n", convert * 1e3, kRuns);
  std::printf("plain write loop  %8.1f ms  (best of %d)\n", limit * 1e3, kRuns);
  std::printf("ratio             %8.2f    (goal: at most 1.50)\n", convert / limit);

  const long peakSmall = PeakKiB(library, small);
  const long peakLarge = PeakKiB(library, large);
  std::printf("peak memory       %8ld KiB for 300 lessons, %ld KiB for 3000 (difference %ld KiB)\n",
              peakSmall, peakLarge, peakLarge - peakSmall);
  return 0;
}
