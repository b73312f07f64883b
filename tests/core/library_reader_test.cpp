#include "app/library_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/common/temp_dir.h"

namespace {
std::string Record(const LibraryRecord& record) {
  return std::string(reinterpret_cast<const char*>(record.Bytes()), LibraryRecord::kSize);
}
}  // namespace

TEST(LibraryFileReader, ReadsKindsTimesAndTexts) {
  TempDir dir;
  LibraryRecord header, sentence, filler;
  header.SetHeaderFlag(true);
  header.SetCompanion("title", 5);
  sentence.SetSentence("s", 1);
  sentence.SetStart(10);
  sentence.SetEnd(-100);
  filler.SetFillerMark(true);
  ASSERT_TRUE(WriteFileBytes(dir / "a.dat", Record(header) + Record(sentence) + Record(filler)));

  LibraryFileReader reader;
  ASSERT_TRUE(reader.Open(dir / "a.dat"));
  EXPECT_EQ(reader.RecordCount(), 3);
  LibraryEntry e;
  ASSERT_TRUE(reader.Next(&e));
  EXPECT_EQ(e.kind, RecordKind::kHeader);
  EXPECT_EQ(e.texts[1], "title");
  ASSERT_TRUE(reader.Next(&e));
  EXPECT_EQ(e.kind, RecordKind::kSentence);
  EXPECT_EQ(e.start, 10);
  EXPECT_EQ(e.end, -100);
  ASSERT_TRUE(reader.Next(&e));
  EXPECT_EQ(e.kind, RecordKind::kFiller);
  EXPECT_FALSE(reader.Next(&e));
  EXPECT_EQ(reader.GetStatus(), LibraryFileReader::Status::kOk);
}

TEST(LibraryFileReader, ReportsMalformedFiles) {
  TempDir dir;
  LibraryFileReader reader;
  EXPECT_FALSE(reader.Open(dir / "missing.dat"));
  EXPECT_EQ(reader.GetStatus(), LibraryFileReader::Status::kCannotOpen);

  ASSERT_TRUE(WriteFileBytes(dir / "short.dat", Record(LibraryRecord()) + "x"));
  EXPECT_FALSE(reader.Open(dir / "short.dat"));
  EXPECT_EQ(reader.GetStatus(), LibraryFileReader::Status::kBadSize);

  // No end marker at all, and an end marker after fewer than six texts.
  std::string noMarker(2048, 'a');
  std::string fewTexts(2048, '\0');
  fewTexts.replace(0, 4, std::string("a\0\0\xFF", 4));
  ASSERT_TRUE(WriteFileBytes(dir / "bad.dat", Record(LibraryRecord()) + noMarker + fewTexts));
  ASSERT_TRUE(reader.Open(dir / "bad.dat"));
  LibraryEntry e;
  EXPECT_TRUE(reader.Next(&e));
  EXPECT_FALSE(reader.Next(&e));
  EXPECT_EQ(reader.GetStatus(), LibraryFileReader::Status::kBadRecord);
  EXPECT_EQ(reader.Position(), 1);

  LibraryEntry entry;
  EXPECT_FALSE(
      DecodeLibraryRecord(reinterpret_cast<const unsigned char*>(fewTexts.data()), &entry));
}
