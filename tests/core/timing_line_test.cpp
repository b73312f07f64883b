#include "core/timing_line.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
std::int32_t Time(const char* line) {
  return TimeFromTimingTag(line, std::strlen(line));
}
bool GivesTime(const char* line) {
  return !IsBlankTimingText(line, std::strlen(line));
}
}  // namespace

TEST(TimingLine, MillisecondsAreTruncatedNeverRounded) {
  EXPECT_EQ(Time("[00:01.13]Hello."), 1129);
  EXPECT_EQ(Time("[01:02.50]"), 62500);
  EXPECT_EQ(Time("[00:02.01]"), 2009);
  EXPECT_EQ(Time("[00:00.00]"), 0);
  EXPECT_EQ(Time("[99:99.99]"), 99 * 60000 + 99989);  // 99.99 lies just below itself
}

TEST(TimingLine, FieldsAreReadAtFixedPositions) {
  // Only bytes 1-2 and 4-8 count; the line's own text after the tag is ignored.
  EXPECT_EQ(Time("[02:03.0045678]"), 123000);
  EXPECT_EQ(Time("[ti:Lesson One]"), 0);
  EXPECT_EQ(Time("[1x:5 ]"), 60000 + 5000);
}

TEST(TimingLine, ShortLinesUseTheBytesPresent) {
  EXPECT_EQ(Time("[01"), 60000);
  EXPECT_EQ(Time("[01:2"), 62000);
  EXPECT_EQ(Time("x"), 0);
  // Only the length given counts, not what lies beyond it.
  EXPECT_EQ(TimeFromTimingTag("[01:02.50]", 6), 62000);
  EXPECT_EQ(TimeFromTimingTag("[01:02.50]", 3), 60000);
  EXPECT_EQ(TimeFromTimingTag("[01:02.50]", 0), 0);
}

TEST(TimingLine, BlankLinesGiveNoTime) {
  EXPECT_FALSE(GivesTime(""));
  EXPECT_FALSE(GivesTime("\r\n"));
  EXPECT_FALSE(GivesTime(" \t \r\n"));
  EXPECT_TRUE(GivesTime(" x"));
  EXPECT_TRUE(GivesTime("\r\n\t x"));
  EXPECT_FALSE(IsBlankTimingText(" \0 ", 3));  // a NUL is no blank
}

TEST(TimingLine, TimesThatAreNotFiniteOrBeyond32BitsCountAsZero) {
  EXPECT_EQ(Time("[00:9e999]"), 0);
  EXPECT_EQ(Time("[00:22e5]"), 0);  // 2200000000 ms: finite, beyond 32 bits
  EXPECT_EQ(Time("[00:-22e5]"), 0);
  EXPECT_EQ(Time("[00:21e5]"), 2100000000);
  EXPECT_EQ(Time("[00:-21e5]"), -2100000000);
  EXPECT_EQ(Time("[00:nan]"), 0);
  EXPECT_EQ(Time("[00:-inf]"), 0);
  EXPECT_EQ(Time("[-9:00.00]"), -540000);
}
