#include "core/string_helpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/gbk.h"

TEST(ShortStringToString, TakesAsManyBytesAsTheLengthByteSays) {
  const unsigned char name[] = "\x06TImageXYZ";
  EXPECT_EQ(ShortStringToString(name), "TImage");
  const unsigned char empty[] = "\x00TImage";
  EXPECT_EQ(ShortStringToString(empty), "");
}

TEST(AddTrailingBackslash, AddsOnlyWhenMissing) {
  EXPECT_EQ(AddTrailingBackslash("C:\\Zembra"), "C:\\Zembra\\");
  EXPECT_EQ(AddTrailingBackslash("C:\\Zembra\\"), "C:\\Zembra\\");
  EXPECT_EQ(AddTrailingBackslash(""), "\\");
  EXPECT_EQ(AddTrailingBackslash("\\"), "\\");
}

TEST(AddTrailingBackslash, FolderEndingInDoubleByteCharacterWithTrailByte5C) {
  // 錦 is E5 5C in GBK: its second byte is not a backslash of its own.
  EXPECT_EQ(AddTrailingBackslash("C:\\\xE5\x5C"), "C:\\\xE5\x5C\\");
  EXPECT_EQ(AddTrailingBackslash("C:\\\xE5\x5C\\"), "C:\\\xE5\x5C\\");
  // Only a scan from the start tells: here 81 81 is one character, so the 5C stands alone.
  EXPECT_EQ(AddTrailingBackslash("a\x81\x81\\"), "a\x81\x81\\");
  EXPECT_EQ(AddTrailingBackslash("a\x81\\"), "a\x81\\\\");
}

TEST(ShiftBytes, MovesOverlappingRangesBothWays) {
  char right[] = "abcdef..";
  ShiftBytes(right, 6, 2);
  EXPECT_EQ(std::string(right + 2, 6), "abcdef");

  char left[] = "..abcdef";
  ShiftBytes(left + 2, 6, -2);
  EXPECT_EQ(std::string(left, 6), "abcdef");

  char still[] = "abc";
  ShiftBytes(still, 3, 0);
  EXPECT_STREQ(still, "abc");
}

TEST(TrimLineEnd, RemovesTrailingBlanksOnly) {
  char crlf[] = "\r\n";
  TrimLineEnd(crlf);
  EXPECT_STREQ(crlf, "");
  char one[] = "x";
  TrimLineEnd(one);
  EXPECT_STREQ(one, "x");
  char mixed[] = "  a b \t \r\n";
  TrimLineEnd(mixed);
  EXPECT_STREQ(mixed, "  a b");
}

TEST(GbkPrefixLength, NeverCutsADoubleByteCharacter) {
  const char* text = "a\xC4\xE3\xBA\xC3";  // "a你好"
  EXPECT_EQ(GbkPrefixLength(text, 5, 10), 5u);
  EXPECT_EQ(GbkPrefixLength(text, 5, 4), 3u);
  EXPECT_EQ(GbkPrefixLength(text, 5, 2), 1u);
  EXPECT_EQ(GbkPrefixLength(text, 5, 0), 0u);
  // A lead byte without a trail byte (a byte below 0x40, 0x7F, 0xFF) counts as a character of
  // its own; with one ('x' is a trail byte) it starts a pair, which is not cut.
  const struct {
    const char* text;
    std::size_t limit, prefix;
  } rows[] = {
      {"ab\xC4-de", 3, 3},
      {"\xC4\x7Fxyz", 1, 1},
      {"\xC4\xFFxyz", 1, 1},
      {"\xC4xyz", 1, 0},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(GbkPrefixLength(row.text, std::strlen(row.text), row.limit), row.prefix) << row.text;
  }
}

#include "core/large_font_math.h"

TEST(LargeFontMath, TwentyPixelFontShrinksBy1Point23) {
  EXPECT_FALSE(IsLargeFontHeight(16));
  EXPECT_TRUE(IsLargeFontHeight(17));
  const double divisor = LargeFontDivisor(FontScaleForHeight(20));
  EXPECT_DOUBLE_EQ(divisor, 1.23);
  EXPECT_EQ(ShrinkValue(130, divisor), 105);
  EXPECT_EQ(ShrinkValue(-11, divisor), -8);  // truncated toward zero
  EXPECT_EQ(ShrinkFontSize(9, divisor), 7);
  EXPECT_EQ(ShrinkFontSize(0, divisor), -1);
  EXPECT_EQ(ShrinkFontSize(1, divisor), 0);
}

TEST(LargeFontMath, OnlyAScaledUpLayoutIsShrunk) {
  const struct {
    int fontHeight, pixelsPerInch;
    bool shrinks;
  } rows[] = {
      {16, 96, false},  {20, 96, false}, {24, 96, false},  // stretched by the system instead
      {16, 120, false}, {17, 97, true},  {20, 120, true},
      {24, 144, true},  {20, 72, false}, {0, 120, false},  // no device context reads 0
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ShrinksForLargeFonts(row.fontHeight, row.pixelsPerInch), row.shrinks)
        << row.fontHeight << " pixels at " << row.pixelsPerInch;
  }
}

#include "core/browser_command.h"

TEST(BrowserCommandLine, QuotedProgramPathOneBlankAndTheAddress) {
  EXPECT_EQ(BrowserCommandLine("\"C:\\Program Files\\Web\\web.exe\" -url \"%1\"", "http://x/"),
            "\"C:\\Program Files\\Web\\web.exe\" http://x/");
  EXPECT_EQ(BrowserCommandLine("\"C:\\web.exe", "a"), "\"C:\\web.exe\" a");
  // Without quotes the path ends at the first blank.
  EXPECT_EQ(BrowserCommandLine("C:\\PROGRA~1\\web.exe %1", "a"), "\"C:\\PROGRA~1\\web.exe\" a");
  EXPECT_EQ(BrowserCommandLine("C:\\web.exe -new -url %1", "a"), "\"C:\\web.exe\" a");
  EXPECT_EQ(BrowserCommandLine("web.exe", ""), "\"web.exe\" ");
}

#include "core/link_command.h"

TEST(LinkCommand, PrefixesAndArguments) {
  using K = LinkCommand;
  auto parse = [](const std::string& text, const std::string& help = "", bool mailHere = true) {
    return ParseLinkCommand(text, help, mailHere);
  };
  EXPECT_EQ(parse("web-http://x/").kind, K::kWeb);
  EXPECT_EQ(parse("web-http://x/").argument, "http://x/");
  EXPECT_EQ(parse("web-").argument, "");
  EXPECT_EQ(parse("exe-notepad.exe a b").argument, "notepad.exe a b");
  EXPECT_EQ(parse("exe-").kind, K::kProgram);
  EXPECT_EQ(parse("exe-web-x").kind, K::kProgram);  // the first prefix decides
  EXPECT_EQ(parse("exe-web-x").argument, "web-x");
  EXPECT_EQ(parse("mail-a@b.c").argument, "mailto.exe a@b.c");
  EXPECT_EQ(parse("mail-a@b.c", "", false).argument, "..\\mailto.exe a@b.c");
  EXPECT_EQ(parse("help-", "C:\\h.chm").argument, "C:\\h.chm");
  EXPECT_EQ(parse("help-").argument, "");
  EXPECT_EQ(parse("help-intro", "C:\\h.chm").argument, "C:\\h.chm::htmlsrc/intro.htm");
  EXPECT_EQ(parse("help-intro").argument, "::htmlsrc/intro.htm");
  for (const char* none : {"Web-x", " web-x", "WEB-x", "", "webx", "mail", "help"}) {
    EXPECT_EQ(parse(none).kind, K::kNone) << none;
  }
}
