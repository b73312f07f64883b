// Failures and damaged input: the library is never left broken, and no read goes past its data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/lesson_conversion.h"
#include "tests/common/book_builder.h"
#include "util/gbk.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

namespace {

class ConversionFaults : public BookTest {};

}  // namespace

TEST_F(ConversionFaults, MissingTimingFileKeepsTheEarlierLibraryAndLeavesNoPartialFile) {
  const std::string earlier(2048 * 3, 'E');
  ASSERT_TRUE(WriteFileBytes(library, earlier));
  book.Lessons({"$L1", "1. a", "b", "$L2", "1. c", "d"}).Timing(1, {"[00:01.00]"});

  const ConvertResult result = ConvertBook(library, book.Folder(), book.Tag());
  EXPECT_EQ(result.status, ConvertStatus::kTimingFileMissing);
  EXPECT_EQ(result.file, book.TimingPath(2));
  EXPECT_EQ(ConvertLessons(library, book.Folder(), book.Tag()), -1);

  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(library, &bytes));
  EXPECT_EQ(bytes, earlier);
  EXPECT_FALSE(PathExists(library + ".tmp"));
}

TEST_F(ConversionFaults, MissingTimingFileWithoutEarlierLibraryLeavesNothing) {
  book.Lessons({"$L1", "1. a", "b"});
  EXPECT_EQ(ConvertLessons(library, book.Folder(), book.Tag()), -1);
  EXPECT_FALSE(PathExists(library));
  EXPECT_FALSE(PathExists(library + ".tmp"));
}

TEST_F(ConversionFaults, SecondImportReplacesTheFirst) {
  book.Lessons({"$L1", "1. a", "b"}).Timing(1, {"[00:01.00]"});
  ASSERT_EQ(Convert().size(), 2u);
  book.Lessons({"$L1", "1. a", "b", "2. c", "d"});
  EXPECT_EQ(Convert().size(), 3u);
  EXPECT_FALSE(PathExists(library + ".tmp"));
}

#ifndef _WIN32
TEST_F(ConversionFaults, WriteErrorsAreFailuresAndKeepTheEarlierLibrary) {
  const std::string earlier = "earlier";
  ASSERT_TRUE(WriteFileBytes(library, earlier));
  std::vector<std::string> lines;
  for (int i = 0; i < 200; ++i) lines.insert(lines.end(), {"1. sentence", "companion"});
  lines.insert(lines.begin(), "$L");
  book.Lessons(lines).Timing(1, {"[00:01.00]"});

  // A file-size limit makes the disk "full" after 100 KiB of the library.
  struct rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  struct rlimit small = old;
  small.rlim_cur = 100 * 1024;
  void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const ConvertResult result = ConvertBook(library, book.Folder(), book.Tag());
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(result.status, ConvertStatus::kWriteFailed);
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(library, &bytes));
  EXPECT_EQ(bytes, earlier);
  EXPECT_FALSE(PathExists(library + ".tmp"));
}
#endif

TEST_F(ConversionFaults, LongTextsAreCutAtWholeCharactersAndTheSoundPathIsKept) {
  std::string sentence, companion;
  for (int i = 0; i < 1500; ++i) sentence += "\xC4\xE3";  // 你, 3000 bytes
  companion = "x" + sentence;                             // odd length, 3001 bytes
  book.Lessons({"$L", "1. " + sentence, companion, "2. short", companion})
      .Timing(1, {"[00:01.00]"});
  const std::vector<LibraryEntry> r = Convert();
  ASSERT_EQ(r.size(), 3u);
  const std::string sound = book.SoundPath(1);
  for (int i : {1, 2}) {
    EXPECT_EQ(r[i].texts[4], sound);
    const std::size_t used = r[i].texts[0].size() + r[i].texts[1].size() + sound.size();
    EXPECT_LE(used, 1985u);
    EXPECT_GE(used, 1983u);  // each text may lose one byte to a character boundary
  }
  // Both long: the area is shared; one short: the other takes the rest.
  // Whole characters only: the sentence is made of pairs, the companion is "x" then pairs.
  EXPECT_EQ(r[1].texts[0], sentence.substr(0, r[1].texts[0].size()));
  EXPECT_EQ(r[1].texts[0].size() % 2, 0u);
  EXPECT_EQ(r[1].texts[1], companion.substr(0, r[1].texts[1].size()));
  EXPECT_EQ(r[1].texts[1].size() % 2, 1u);
  EXPECT_EQ(r[2].texts[0], "short");
  EXPECT_EQ(r[2].texts[1].size(),
            GbkPrefixLength(companion.data(), companion.size(), 1985u - 5 - sound.size()));
}

#ifndef _WIN32
TEST_F(ConversionFaults, SoundPathThatCannotFitFailsTheConversion) {
  // Nested folders give a book folder longer than a record's text area.
  std::string folder = dir.Path();
  while (folder.size() < 2100) {
    folder += std::string(200, 'd') + "/";
    ASSERT_TRUE(MakeDir(folder));
  }
  ASSERT_TRUE(WriteFileBytes(folder + "lesson.txt", "$L\r\n1. a\r\nb\r\n"));
  ASSERT_TRUE(WriteFileBytes(folder + "zmb1001.lrc", "[00:01.00]\r\n"));
  const ConvertResult result = ConvertBook(library, folder, "zmb1");
  EXPECT_EQ(result.status, ConvertStatus::kSoundPathTooLong);
  EXPECT_FALSE(PathExists(library));
}
#endif

TEST_F(ConversionFaults, TextStartingWith0xFFReadsBackWhole) {
  book.Lessons({"$\xFFtitle", "1. \xFFsentence", "\xFF", "2. x", "y"}).Timing(1, {"[00:01.00]"});
  const std::vector<LibraryEntry> r = Convert();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].texts[1], "?title");
  EXPECT_EQ(r[1].texts[0], "?sentence");
  EXPECT_EQ(r[1].texts[1], "?");
  EXPECT_EQ(r[2].texts[0], "x");
}

TEST_F(ConversionFaults, SentencesBeforeTheFirstLessonAreSkippedWithTheirCompanions) {
  book.Lessons({"1. orphan", "$companion of orphan", "$L", "1. a", "b"}).Timing(1, {"[00:01.00]"});
  const std::vector<LibraryEntry> r = Convert();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].kind, RecordKind::kHeader);
  EXPECT_EQ(r[0].texts[1], "L");
  EXPECT_EQ(r[1].texts[0], "a");
}

TEST_F(ConversionFaults, SentenceLinesWithoutADotOrEndingInOne) {
  book.Lessons({"$L", "no dot here", "c1", "ends in a dot.", "c2", "last line."})
      .Timing(1, {"[00:01.00]", "[00:02.00]"});
  const std::vector<LibraryEntry> r = Convert();
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[1].texts[0], "no dot here");
  EXPECT_EQ(r[2].texts[0], "");
  EXPECT_EQ(r[2].texts[1], "c2");
  // The last line of the list has no companion line.
  EXPECT_EQ(r[3].texts[0], "");
  EXPECT_EQ(r[3].texts[1], "");
}

TEST_F(ConversionFaults, MoreSentencesThanTimesReadMinus100) {
  book.Lessons({"$L", "1. a", "a", "2. b", "b", "3. c", "c", "4. d", "d"})
      .Timing(1, {"[00:01.00]"});
  const std::vector<LibraryEntry> r = Convert();
  ASSERT_EQ(r.size(), 5u);
  EXPECT_EQ(r[1].start, 1000);
  EXPECT_EQ(r[1].end, -100);
  for (int i : {2, 3, 4}) {
    EXPECT_EQ(r[i].start, -100);
    EXPECT_EQ(r[i].end, -100);
  }
}

TEST_F(ConversionFaults, BlankTimingLinesGiveNoTime) {
  book.Lessons({"$L", "1. a", "a", "2. b", "b"})
      .TimingBytes(1, "[00:01.00]\r\n\r\n  \t\r\n[00:02.00]\r\n\r\n\r\n");
  const std::vector<LibraryEntry> r = Convert();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[1].end, 2000);
  EXPECT_EQ(r[2].start, 2000);
  EXPECT_EQ(r[2].end, -100);
}

TEST_F(ConversionFaults, EveryNonBlankTimingLineCountsOnceWhateverItsLengthAndBytes) {
  // Each row is one line of the timing file and the time it gives, or kNone for a blank line.
  constexpr int kNone = -2;
  const std::string nul(1, '\0');
  const struct {
    std::string line;
    int ms;
  } rows[] = {
      {"[00:01.00]" + std::string(10000, 'x') + "\r\n", 1000},
      {std::string(18, ' ') + "lyric after blanks\r\n", 0},  // 16 blank bytes decide nothing
      {std::string(5000, ' ') + "x\r\n", 0},                 // blank across any read buffer
      {std::string(5000, ' ') + "\t\r\n", kNone},
      {"[00:02.00]" + nul + "a NUL hides no line end\r\n", 2000},
      {"[00:03.0" + nul + "]\r\n", 3000},  // a NUL inside the tag ends its field
      {nul + "\r\n", 0},
      {"[00:04.00]" + std::string(245, 'y') + "\r\n", 4000},  // 256 bytes with its CR LF
      {"\r\n", kNone},
      {"[00:05.00]" + std::string(4085, 'z') + "\r\n", 5000},  // 4097 bytes
      {" \t\r\n", kNone},
      {"[00:06.00]" + std::string(300, 'w'), 6000},  // the last line has no LF
  };
  std::string timing;
  std::vector<int> times;
  for (const auto& row : rows) {
    timing += row.line;
    if (row.ms != kNone) times.push_back(row.ms);
  }
  std::vector<std::string> lines = {"$L"};
  for (std::size_t i = 0; i < times.size(); ++i) {
    lines.insert(lines.end(), {std::to_string(i + 1) + ". s" + std::to_string(i), "c"});
  }
  book.Lessons(lines).TimingBytes(1, timing);

  const std::vector<LibraryEntry> r = Convert();
  ASSERT_EQ(r.size(), times.size() + 1);
  for (std::size_t i = 0; i < times.size(); ++i) {
    SCOPED_TRACE("sentence " + std::to_string(i));
    EXPECT_EQ(r[i + 1].texts[0], "s" + std::to_string(i));
    EXPECT_EQ(r[i + 1].start, times[i]);
    EXPECT_EQ(r[i + 1].end, i + 1 < times.size() ? times[i + 1] : -100);
  }
}
