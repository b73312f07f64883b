#include "core/library_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/library_reader.h"

namespace {
LibraryEntry Decode(const LibraryRecord& record) {
  LibraryEntry entry;
  EXPECT_TRUE(DecodeLibraryRecord(record.Bytes(), &entry));
  return entry;
}
}  // namespace

TEST(LibraryRecord, StartsEmptyWithoutTimesOrFlags) {
  LibraryRecord record;
  const unsigned char* b = record.Bytes();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b), 7), std::string("\0\0\0\0\0\0\xFF", 7));
  EXPECT_EQ(record.FindEnd(), 6);
  EXPECT_EQ(b[LibraryRecord::kGuardOffset], 0);
  EXPECT_EQ(LibraryRecord::GetInt(b, LibraryRecord::kStartOffset), -1);
  EXPECT_EQ(LibraryRecord::GetInt(b, LibraryRecord::kEndOffset), -1);
  EXPECT_EQ(LibraryRecord::GetInt(b, LibraryRecord::kHeaderFlagOffset), 0);
  EXPECT_EQ(LibraryRecord::GetInt(b, LibraryRecord::kFillerMarkOffset), 0);
}

TEST(LibraryRecord, IntegersAreLittleEndian) {
  LibraryRecord record;
  record.SetFillerMark(true);
  record.SetEnd(-100);
  const unsigned char* b = record.Bytes();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b + 2040), 4), "\x78\x56\x34\x12");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b + 2024), 4), "\x9C\xFF\xFF\xFF");
}

TEST(LibraryRecord, TextsStayPackedWhenEarlierTextsGrowAndShrink) {
  LibraryRecord record;
  ASSERT_TRUE(record.SetSoundFile("C:\\a.mp3", 8));
  ASSERT_TRUE(record.SetCompanion("companion", 9));
  ASSERT_TRUE(record.SetSentence("  long sentence  ", 17));
  LibraryEntry entry = Decode(record);
  EXPECT_EQ(entry.texts[0], "long sentence");
  EXPECT_EQ(entry.texts[1], "companion");
  EXPECT_EQ(entry.texts[4], "C:\\a.mp3");
  EXPECT_EQ(record.LocateText(1), 14);
  EXPECT_EQ(record.FindEnd(), 6 + 13 + 9 + 8);

  ASSERT_TRUE(record.SetSentence("s", 1));
  entry = Decode(record);
  EXPECT_EQ(entry.texts[0], "s");
  EXPECT_EQ(entry.texts[1], "companion");
  EXPECT_EQ(entry.texts[4], "C:\\a.mp3");
  EXPECT_EQ(record.FindEnd(), 6 + 1 + 9 + 8);

  // Nothing of the longer texts is left after the end marker.
  const unsigned char* b = record.Bytes();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b) + 25, 40), std::string(40, '\0'));
  record.Reset();
  EXPECT_EQ(record.FindEnd(), 6);
}

TEST(LibraryRecord, RefusesATextThatDoesNotFitAndStaysWhole) {
  LibraryRecord record;
  const std::string sound(1000, 's');
  const std::string big(LibraryRecord::kMaxTextBytes - 999, 'x');
  ASSERT_TRUE(record.SetSoundFile(sound.data(), sound.size()));
  EXPECT_FALSE(record.SetCompanion(big.data(), big.size()));
  EXPECT_TRUE(record.SetCompanion(big.data(), big.size() - 1));
  EXPECT_EQ(record.UsedTextBytes(), LibraryRecord::kMaxTextBytes);
  EXPECT_EQ(record.FindEnd(), 1991);
  const LibraryEntry entry = Decode(record);
  EXPECT_EQ(entry.texts[1], big.substr(1));
  EXPECT_EQ(entry.texts[4], sound);
}

TEST(LibraryRecord, TextStartingWith0xFFIsStoredWithAQuestionMark) {
  LibraryRecord record;
  ASSERT_TRUE(
      record.SetCompanion("\xFF"
                          "abc",
                          4));
  ASSERT_TRUE(record.SetSoundFile("\xFF", 1));
  const LibraryEntry entry = Decode(record);
  EXPECT_EQ(entry.texts[1], "?abc");
  EXPECT_EQ(entry.texts[4], "?");
}
