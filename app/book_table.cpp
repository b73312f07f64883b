#include "app/book_table.h"

const Book kBooks[kBookCount] = {
    {"1", "MyZembra1", "Zembra英语第1册", "ZMB1", "zmb1"},
    {"2", "MyZembra", "Zembra英语第2册", "ZMB2", "zmb2"},
    {"3", "MyZembra3", "Zembra英语第3册", "ZMB3", "zmb3"},
    {"4", "MyZembra4", "Zembra英语第4册", "ZMB4", "zmb4"},
};

const Book* FindBookByDigit(const std::string& listEntry) {
  for (const Book& book : kBooks) {
    if (listEntry.find(book.digit) != std::string::npos) return &book;
  }
  return nullptr;
}
