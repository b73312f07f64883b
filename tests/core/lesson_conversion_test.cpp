// The conversion of a book, record by record.
#include "core/lesson_conversion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/common/book_builder.h"

namespace {

class Conversion : public BookTest {};

void ExpectHeader(const LibraryEntry& e, const std::string& title) {
  EXPECT_EQ(e.kind, RecordKind::kHeader);
  EXPECT_EQ(e.start, -1);
  EXPECT_EQ(e.end, -1);
  EXPECT_EQ(e.texts[1], title);
  EXPECT_EQ(e.texts[0] + e.texts[2] + e.texts[3] + e.texts[4] + e.texts[5], "");
}

void ExpectFiller(const LibraryEntry& e) {
  EXPECT_EQ(e.kind, RecordKind::kFiller);
  EXPECT_EQ(e.start, -1);
  EXPECT_EQ(e.end, -1);
  for (const std::string& t : e.texts) EXPECT_EQ(t, "");
}

void ExpectSentence(const LibraryEntry& e, const std::string& sentence,
                    const std::string& companion, int start, int end) {
  EXPECT_EQ(e.kind, RecordKind::kSentence);
  EXPECT_EQ(e.texts[0], sentence);
  EXPECT_EQ(e.texts[1], companion);
  EXPECT_EQ(e.start, start);
  EXPECT_EQ(e.end, end);
}

}  // namespace

TEST_F(Conversion, WorkedLayoutPlacesEveryLessonAtAMultipleOfFive) {
  book.Lessons({"$Lesson 1", "1. One.", "Yi", "2. Two.", "Er", "3. Three.", "San",  //
                "$Lesson 2", "1. A", "a", "2. B", "b", "3. C", "c", "4. D", "d",    //
                "$Lesson 3", "1. X", "x"})
      .Timing(1, {"[00:01.00]", "[00:02.00]", "[00:03.00]"})
      .Timing(2, {"[00:00.50]", "[00:01.50]", "[00:02.50]", "[00:03.50]"})
      .Timing(3, {"[00:07.00]"});
  const std::vector<LibraryEntry> r = Convert();
  ASSERT_EQ(r.size(), 12u);
  ExpectHeader(r[0], "Lesson 1");
  ExpectSentence(r[1], "One.", "Yi", 1000, 2000);
  ExpectSentence(r[2], "Two.", "Er", 2000, 3000);
  ExpectSentence(r[3], "Three.", "San", 3000, -100);
  ExpectFiller(r[4]);
  ExpectHeader(r[5], "Lesson 2");
  ExpectSentence(r[9], "D", "d", 3500, -100);
  ExpectHeader(r[10], "Lesson 3");  // four sentences need no filler
  ExpectSentence(r[11], "X", "x", 7000, -100);
  for (int i : {1, 2, 3}) EXPECT_EQ(r[i].texts[4], book.SoundPath(1));
  EXPECT_EQ(r[6].texts[4], book.SoundPath(2));
  EXPECT_EQ(r[11].texts[4], book.SoundPath(3));

  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(library, &bytes));
  EXPECT_EQ(bytes.size(), 12u * 2048);
}

TEST_F(Conversion, EmptyLessonListGivesAnEmptyLibrary) {
  book.LessonListBytes("");
  EXPECT_TRUE(Convert().empty());
  EXPECT_TRUE(PathExists(library));
}

TEST_F(Conversion, ExtraTimingLineEndsTheLastSentence) {
  book.Lessons({"$L", "1. a", "x", "2. b", "y"})
      .Timing(1, {"[00:01.00]", "[00:02.00]", "[00:09.99]", "[00:11.00]"});
  const std::vector<LibraryEntry> r = Convert();
  ASSERT_EQ(r.size(), 3u);
  ExpectSentence(r[2], "b", "y", 2000, 9990);
}

TEST_F(Conversion, SentenceTextComesFromTwoBytesAfterTheFirstDot) {
  book.Lessons({"$L", "12. Mr. Smith. Yes.  ", "   companion  ", "3.Hello", "$not a header",
                "4.  spaced  ", "c"})
      .Timing(1, {"[00:01.00]"});
  const std::vector<LibraryEntry> r = Convert();
  ASSERT_EQ(r.size(), 4u);
  ExpectSentence(r[1], "Mr. Smith. Yes.", "companion", 1000, -100);
  ExpectSentence(r[2], "ello", "$not a header", -100, -100);
  ExpectSentence(r[3], "spaced", "c", -100, -100);
}

TEST_F(Conversion, TitleKeepsLeadingSpacesAndLosesTrailingBlanks) {
  book.Lessons({"$  Lesson One \t ", "", "  ", "1. a", "b"}).Timing(1, {"[00:00.10]"});
  const std::vector<LibraryEntry> r = Convert();
  ASSERT_EQ(r.size(), 2u);
  ExpectHeader(r[0], "  Lesson One");
  ExpectSentence(r[1], "a", "b", 100, -100);
}

TEST_F(Conversion, TextsAreCopiedAsGbkBytes) {
  book.Lessons({"$第一课", "1. 你好。", "Hello."}).Timing(1, {"[00:01.13]"});
  const std::vector<LibraryEntry> r = Convert();
  ASSERT_EQ(r.size(), 2u);
  ExpectHeader(r[0], "\xB5\xDA\xD2\xBB\xBF\xCE");
  ExpectSentence(r[1], "\xC4\xE3\xBA\xC3\xA1\xA3", "Hello.", 1129, -100);
}

TEST_F(Conversion, LessonSevenUsesItsOwnTimingAndSoundFiles) {
  std::vector<std::string> lines;
  for (int lesson = 1; lesson <= 7; ++lesson) {
    lines.push_back("$Lesson " + std::to_string(lesson));
    lines.push_back("1. s");
    lines.push_back("c");
    book.Timing(lesson, {"[00:0" + std::to_string(lesson) + ".00]"});
  }
  book.Lessons(lines);
  const std::vector<LibraryEntry> r = Convert();
  ASSERT_EQ(r.size(), 7u * 5 - 3);
  ExpectSentence(r[31], "s", "c", 7000, -100);
  EXPECT_EQ(r[31].texts[4], book.Folder() + "zmb1007.mp3");
}

TEST_F(Conversion, MissingLessonListCreatesNoLibrary) {
  EXPECT_EQ(ConvertLessons(library, book.Folder(), book.Tag()), -1);
  EXPECT_FALSE(PathExists(library));
  EXPECT_EQ(ConvertBook(library, book.Folder(), book.Tag()).status,
            ConvertStatus::kLessonListUnreadable);
}

TEST_F(Conversion, MissingLibraryFolderFails) {
  book.Lessons({"$L"}).Timing(1, {});
  const ConvertResult result = ConvertBook(dir / "booklib/user/x.dat", book.Folder(), book.Tag());
  EXPECT_EQ(result.status, ConvertStatus::kLibraryNotCreated);
  EXPECT_EQ(result.file, dir / "booklib/user/x.dat");
}
