// The four books of the course program: settings keys, list entries, folders and file tags.
#pragma once

#include <string>

struct Book {
  const char* digit;        // "1" to "4", as it appears in the list entry
  const char* settingsKey;  // the course program's application key; book 2's has no digit
  const char* listEntry;    // also the book's long folder name and the library file's name
  const char* shortName;    // the book's short folder name
  const char* fileTag;      // starts the names of the timing and sound files
};

constexpr int kBookCount = 4;
extern const Book kBooks[kBookCount];

// The book whose digit comes first in the order 1, 2, 3, 4 anywhere in the entry; or none.
const Book* FindBookByDigit(const std::string& listEntry);
