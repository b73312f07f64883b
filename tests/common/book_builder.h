// Lays out a small book of the course program for a test, and reads library files back.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/library_reader.h"
#include "tests/common/temp_dir.h"

class BookBuilder {
 public:
  // The book lives in dir; its file tag is tag.
  BookBuilder(const TempDir& dir, std::string tag = "zmb1") : dir_(dir), tag_(std::move(tag)) {}

  // Lines of the lesson list, each ended with CR LF.
  BookBuilder& Lessons(const std::vector<std::string>& lines);
  // The raw bytes of the lesson list.
  BookBuilder& LessonListBytes(const std::string& bytes);
  // Lines of lesson n's timing file, each ended with CR LF.
  BookBuilder& Timing(int lesson, const std::vector<std::string>& lines);
  BookBuilder& TimingBytes(int lesson, const std::string& bytes);

  const std::string& Folder() const { return dir_.Path(); }
  const std::string& Tag() const { return tag_; }
  std::string TimingPath(int lesson) const;
  std::string SoundPath(int lesson) const;

 private:
  const TempDir& dir_;
  std::string tag_;
};

// Lays out in a new folder a book of the lessons 1 to n, each of three sentences with a timing
// line each, with the file tag; false when a file could not be written.
bool WriteSampleBook(const std::string& folder, const std::string& tag, int lessons = 3);

// All records of a library file; fails the test when the file does not read back whole.
std::vector<LibraryEntry> ReadLibrary(const std::string& path);

// A test with a book in a fresh folder and a library file beside it.
class BookTest : public ::testing::Test {
 protected:
  // Converts the book, expecting success, and reads the library back.
  std::vector<LibraryEntry> Convert();

  TempDir dir;
  BookBuilder book{dir};
  std::string library = dir / "lib.dat";
};
