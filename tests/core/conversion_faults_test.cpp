// Failures and damaged input: the library is never left broken, and no read goes past its data.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/lesson_conversion.h"
#include "tests/common/book_builder.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

namespace {

class ConversionFaults : public BookTest {
 protected:
  // Converts one lesson with a sentence for each time the timing file gives, and checks that
  // every sentence starts at its time and ends at the next one's (the last at the sound's end).
  void ConvertAndExpectTimes(const std::string& timing, const std::vector<int>& times) {
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
};

}  // namespace

TEST_F(ConversionFaults, UnreadableInputFailsNamesItAndKeepsTheEarlierLibraryWhole) {
  const std::string earlier(2048 * 3, 'E');
  // A file that is missing, or a folder where it should be: it cannot be opened, or opens but
  // cannot be read.
  const struct {
    std::string file;
    bool folder;
    ConvertStatus status;
  } rows[] = {
      {book.TimingPath(2), false, ConvertStatus::kTimingFileMissing},
      {book.TimingPath(2), true, ConvertStatus::kTimingFileMissing},
      {book.Folder() + "lesson.txt", true, ConvertStatus::kLessonListUnreadable},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file + (row.folder ? " as a folder" : " missing"));
    ASSERT_TRUE(WriteFileBytes(library, earlier));
    book.Lessons({"$L1", "1. a", "b", "$L2", "1. c", "d"}).Timing(1, {"[00:01.00]"});
    RemoveTree(book.TimingPath(2));
    RemoveTree(row.file);
    if (row.folder) {
      ASSERT_TRUE(MakeDir(row.file));
    }

    const ConvertResult result = ConvertBook(library, book.Folder(), book.Tag());
    EXPECT_EQ(result.status, row.status);
    EXPECT_EQ(result.file, row.file);
    EXPECT_EQ(ConvertLessons(library, book.Folder(), book.Tag()), -1);

    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(library, &bytes));
    EXPECT_EQ(bytes, earlier);
    EXPECT_FALSE(PathExists(library + ".tmp"));
    RemoveTree(row.file);
  }
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

// Writes past 100 KiB of a file fail, as on a full disk. Natively the test sets the file-size
// limit itself; the Windows build runs it under Wine from the ctest entry core_write_failure,
// which starts the tests with that limit and names it in ZEMBRA_FILE_SIZE_LIMIT_KB.
TEST_F(ConversionFaults, WriteErrorsAreFailuresAndKeepTheEarlierLibrary) {
#ifdef _WIN32
  const char* limit = std::getenv("ZEMBRA_FILE_SIZE_LIMIT_KB");
  if (limit == nullptr) GTEST_SKIP() << "runs from the ctest entry core_write_failure";
  ASSERT_STREQ(limit, "100");
#endif
  const std::string earlier = "earlier";
  // 200 sentences fail when the finished file is flushed, 1000 already while the records are
  // written (beyond the stream's buffer); either way the staging file must be closed before it
  // is removed, or Windows keeps it.
  for (int sentences : {200, 1000}) {
    SCOPED_TRACE(std::to_string(sentences) + " sentences");
    ASSERT_TRUE(WriteFileBytes(library, earlier));
    std::vector<std::string> lines = {"$L"};
    for (int i = 0; i < sentences; ++i) lines.insert(lines.end(), {"1. sentence", "companion"});
    book.Lessons(lines).Timing(1, {"[00:01.00]"});

#ifndef _WIN32
    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = 100 * 1024;
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
#endif
    const ConvertResult result = ConvertBook(library, book.Folder(), book.Tag());
#ifndef _WIN32
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
#endif

    EXPECT_EQ(result.status, ConvertStatus::kWriteFailed);
    EXPECT_EQ(result.file, library);
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(library, &bytes));
    EXPECT_EQ(bytes, earlier);
    EXPECT_FALSE(PathExists(library + ".tmp"));
  }
}

TEST_F(ConversionFaults, LongTextsAreCutAtWholeCharactersAndTheSoundPathIsKept) {
  std::string gbk, letters, capitals;
  for (int i = 0; i < 1500; ++i) gbk += "\xC4\xE3";  // 你, 3000 bytes
  for (int i = 0; i < 3000; ++i) {
    letters += static_cast<char>('a' + i % 26);
    capitals += static_cast<char>('A' + i % 23);
  }
  const std::string oddGbk = "x" + gbk;  // 3001 bytes: a single byte, then pairs
  const std::string spaces(600, ' ');
  auto even = [](std::size_t n) { return n - n % 2; };
  auto odd = [](std::size_t n) { return n - (n + 1) % 2; };

  // The room that the sound path leaves, for both tags: one gives an odd room, one an even.
  auto roomFor = [this](const std::string& tag) {
    return 1985 - BookBuilder(dir, tag).SoundPath(1).size();
  };
  const std::size_t a = roomFor("zmb1"), b = roomFor("zmb12");
  ASSERT_NE(a % 2, b % 2);

  // The sentence gets half the room rounded down and the companion the rest, or one takes all
  // the other leaves; texts of pairs are cut back to a whole character.
  const struct {
    std::string tag, sentence, companion, storedSentence, storedCompanion;
  } rows[] = {
      {"zmb1", letters, capitals, letters.substr(0, a / 2), capitals.substr(0, a - a / 2)},
      {"zmb12", letters, capitals, letters.substr(0, b / 2), capitals.substr(0, b - b / 2)},
      {"zmb1", gbk, oddGbk, gbk.substr(0, even(a / 2)), oddGbk.substr(0, odd(a - a / 2))},
      {"zmb12", gbk, oddGbk, gbk.substr(0, even(b / 2)), oddGbk.substr(0, odd(b - b / 2))},
      {"zmb1", "short", oddGbk, "short", oddGbk.substr(0, odd(a - 5))},
      {"zmb12", letters, "c", letters.substr(0, b - 1), "c"},
      // Fits exactly once the spaces around it are gone.
      {"zmb1", spaces + letters.substr(0, a - 1) + spaces, "   c", letters.substr(0, a - 1), "c"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.tag + ": " + row.sentence.substr(0, 8) + " / " + row.companion.substr(0, 8));
    BookBuilder tagged(dir, row.tag);
    // The title is longer than a record holds: it is cut, not dropped.
    tagged.Lessons({"$" + letters, "1. " + row.sentence, row.companion}).Timing(1, {"[00:01]"});
    ASSERT_EQ(ConvertLessons(library, tagged.Folder(), tagged.Tag()), 1);
    const std::vector<LibraryEntry> r = ReadLibrary(library);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].texts[1], letters.substr(0, 1985));
    EXPECT_EQ(r[1].texts[0], row.storedSentence);
    EXPECT_EQ(r[1].texts[1], row.storedCompanion);
    EXPECT_EQ(r[1].texts[4], tagged.SoundPath(1));
  }
}

#ifndef _WIN32
TEST_F(ConversionFaults, SoundPathThatCannotFitFailsTheConversion) {
  // Nested folders give a book folder whose sound path, with the tag zmb1, fills a record's text
  // area exactly; the tag zmb12 makes it one byte too long.
  const std::size_t target = 1985 - std::string("zmb1001.mp3").size();
  std::string folder = dir.Path();
  while (folder.size() < target) {
    const std::size_t left = target - folder.size();
    folder += std::string(left > 250 ? 200 : left - 1, 'd') + "/";
    ASSERT_TRUE(MakeDir(folder));
  }
  ASSERT_EQ(folder.size(), target);
  ASSERT_TRUE(WriteFileBytes(folder + "lesson.txt", "$L\r\n1. a\r\nb\r\n"));
  for (const std::string tag : {"zmb1", "zmb12"}) {
    SCOPED_TRACE(tag);
    ASSERT_TRUE(WriteFileBytes(folder + tag + "001.lrc", "[00:01.00]\r\n"));
    const ConvertResult result = ConvertBook(library, folder, tag);
    const std::string sound = folder + tag + "001.mp3";
    if (sound.size() == 1985) {
      ASSERT_EQ(result.status, ConvertStatus::kOk);
      const std::vector<LibraryEntry> r = ReadLibrary(library);
      ASSERT_EQ(r.size(), 2u);
      EXPECT_EQ(r[1].texts[0] + r[1].texts[1], "");
      EXPECT_EQ(r[1].texts[4], sound);
      EXPECT_EQ(r[1].start, 1000);
      std::remove(library.c_str());
    } else {
      EXPECT_EQ(result.status, ConvertStatus::kSoundPathTooLong);
      EXPECT_EQ(result.file, sound);
      EXPECT_FALSE(PathExists(library));
    }
  }
}
#endif

TEST_F(ConversionFaults, TextsWith0xFFReadBackWhole) {
  // Only a 0xFF that starts a text could pass for the end marker; elsewhere it is a plain byte.
  book.Lessons({"$\xFFti\xFFtle", "1. \xFFsentence", "\xFF", "2. x", "y",
                "3. mid\xFF\xFF"
                "dle\xFF",
                "a\xFF"
                "b"})
      .Timing(1, {"[00:01.00]"});
  const std::vector<LibraryEntry> r = Convert();
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[0].texts[1], "?ti\xFFtle");
  EXPECT_EQ(r[1].texts[0], "?sentence");
  EXPECT_EQ(r[1].texts[1], "?");
  EXPECT_EQ(r[2].texts[0], "x");
  EXPECT_EQ(r[3].texts[0],
            "mid\xFF\xFF"
            "dle\xFF");
  EXPECT_EQ(r[3].texts[1],
            "a\xFF"
            "b");
  EXPECT_EQ(r[3].texts[4], book.SoundPath(1));
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
  ConvertAndExpectTimes(timing, times);
}

TEST_F(ConversionFaults, TimingLinesCutByTheReadBlockGiveTheirTimes) {
  // The timing file is read 4096 bytes at a time. Each row is laid out so that the block
  // boundary falls `cut` bytes into its line: through every byte of the time tag, and between
  // a line's text and the blanks after it.
  constexpr std::size_t kBlock = 4096;
  constexpr int kNone = -2;
  const struct {
    std::string line;
    std::size_t cut;
    int ms;
  } rows[] = {
      {"[01:01.50]a\r\n", 0, 61500},
      {"[02:02.50]a\r\n", 1, 122500},
      {"[03:03.50]a\r\n", 2, 183500},
      {"[04:04.50]a\r\n", 3, 244500},
      {"[05:05.50]a\r\n", 4, 305500},
      {"[06:06.50]a\r\n", 5, 366500},
      {"[07:07.50]a\r\n", 6, 427500},
      {"[08:08.50]a\r\n", 7, 488500},
      {"[09:09.50]a\r\n", 8, 549500},
      {"[10:10.50]a\r\n", 9, 610500},
      {"[11:11.50]a\r\n", 10, 671500},
      {"[12:12.50]\r\n", 10, 732500},
      {"[14:14.50]text   \t\r\n", 14, 854500},  // text up to the boundary, blanks after it
      {"[15:15.50]\t  \r\n", 10, 915500},       // the tag up to the boundary, blanks after it
      {"      x\r\n", 6, 0},                    // blanks up to the boundary, text after it
      {"      \t\r\n", 6, kNone},               // blanks on both sides
      {"  \r\n", 3, kNone},                     // cut between CR and LF
      {"[16:16.50]\r\n", 11, 976500},           // cut between CR and LF after a tag
      {"[13:13.50]", 10, 793500},  // the last line, without a line end, ends with the block
  };
  std::string timing;
  std::vector<int> times;
  int pad = 0;
  for (const auto& row : rows) {
    // A padding line of its own time brings the row's line to its place before the boundary.
    const std::string padTag =
        "[00:" + std::string(pad < 10 ? "0" : "") + std::to_string(pad) + ".00]";
    std::size_t boundary = (timing.size() / kBlock + 1) * kBlock;
    if (boundary - timing.size() < padTag.size() + 2 + row.cut) boundary += kBlock;
    const std::size_t padLength = boundary - row.cut - timing.size();
    timing += padTag + std::string(padLength - padTag.size() - 2, 'p') + "\r\n";
    times.push_back(pad++ * 1000);
    ASSERT_EQ(timing.size() + row.cut, boundary);
    timing += row.line;
    if (row.ms != kNone) times.push_back(row.ms);
  }
  ConvertAndExpectTimes(timing, times);
}
