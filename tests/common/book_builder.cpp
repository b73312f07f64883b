#include "tests/common/book_builder.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "core/lesson_conversion.h"

namespace {
std::string JoinCrLf(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}
}  // namespace

BookBuilder& BookBuilder::Lessons(const std::vector<std::string>& lines) {
  return LessonListBytes(JoinCrLf(lines));
}

BookBuilder& BookBuilder::LessonListBytes(const std::string& bytes) {
  EXPECT_TRUE(WriteFileBytes(dir_ / "lesson.txt", bytes));
  return *this;
}

BookBuilder& BookBuilder::Timing(int lesson, const std::vector<std::string>& lines) {
  return TimingBytes(lesson, JoinCrLf(lines));
}

BookBuilder& BookBuilder::TimingBytes(int lesson, const std::string& bytes) {
  EXPECT_TRUE(WriteFileBytes(TimingPath(lesson), bytes));
  return *this;
}

bool WriteSampleBook(const std::string& folder, const std::string& tag, int lessons) {
  if (!MakeDir(folder)) return false;
  std::string list;
  for (int lesson = 1; lesson <= lessons; ++lesson) {
    list += "$Lesson " + std::to_string(lesson) + " 第" + std::to_string(lesson) + "课\r\n";
    std::string timing;
    for (int k = 0; k < 3; ++k) {
      list += std::to_string(k + 1) + ". Sentence " + std::to_string(k) + ".\r\n你好\r\n";
      timing += "[00:0" + std::to_string(k * 2) + ".13]x\r\n";
    }
    char name[32];
    std::snprintf(name, sizeof name, "%s%03d.lrc", tag.c_str(), lesson);
    if (!WriteFileBytes(folder + name, timing)) return false;
  }
  return WriteFileBytes(folder + "lesson.txt", list);
}

std::string BookBuilder::TimingPath(int lesson) const {
  char number[16];
  std::snprintf(number, sizeof number, "%03d", lesson);
  return dir_.Path() + tag_ + number + ".lrc";
}

std::string BookBuilder::SoundPath(int lesson) const {
  char number[16];
  std::snprintf(number, sizeof number, "%03d", lesson);
  return dir_.Path() + tag_ + number + ".mp3";
}

std::vector<LibraryEntry> ReadLibrary(const std::string& path) {
  std::vector<LibraryEntry> entries;
  LibraryFileReader reader;
  EXPECT_TRUE(reader.Open(path)) << LibraryReadStatusText(reader.GetStatus()) << ": " << path;
  LibraryEntry entry;
  while (reader.Next(&entry)) entries.push_back(entry);
  EXPECT_EQ(reader.GetStatus(), LibraryFileReader::Status::kOk)
      << LibraryReadStatusText(reader.GetStatus()) << " at record " << reader.Position();
  return entries;
}

std::vector<LibraryEntry> BookTest::Convert() {
  EXPECT_EQ(ConvertLessons(library, book.Folder(), book.Tag()), 1);
  return ReadLibrary(library);
}
