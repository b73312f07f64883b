#include "core/library_reader.h"

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

  // A record is taken only with six texts before its end marker. Each row is the start of a
  // record's text area; the rest of the record is zero.
  const struct {
    std::string area;
    bool valid;
  } rows[] = {
      {std::string("\0\0\0\0\0\0\xFF", 7), true},
      // A 0xFF after a text byte is text; bytes after the end marker carry no meaning.
      {std::string("a\xFF"
                   "b\0\0\0\0\0\0\xFF"
                   "c\0\xFF\0\xFFx",
                   16),
       true},
      {std::string("a\0\0\xFF", 4), false},  // three texts
      {std::string("a\0b\0c\0d\0e\0\xFF"
                   "f\0\xFF",
                   14),
       false},                                                // five, then the marker
      {std::string("a\0b\0c\0d\0e\0f\0g\0\xFF", 15), false},  // seven texts
      {std::string("\xFF\0\0\0\0\0", 6), false},              // no marker after a NUL
  };
  for (const auto& row : rows) {
    std::string record(2048, '\0');
    record.replace(0, row.area.size(), row.area);
    LibraryEntry entry;
    const bool decoded =
        DecodeLibraryRecord(reinterpret_cast<const unsigned char*>(record.data()), &entry);
    EXPECT_EQ(decoded, row.valid) << ::testing::PrintToString(row.area);
    if (decoded) {
      std::string joined;
      for (const std::string& text : entry.texts) joined += text + '\0';
      EXPECT_EQ(joined + '\xFF', row.area.substr(0, joined.size() + 1));
    }
  }
}
