// Where a book of the course program lies: whether it counts as installed, and the folder of
// its lesson files. The import window lists by the one and the import run reads from the
// other.
#pragma once

#include <string>

#include "app/book_table.h"

// The course folder that the course program registered for the book, or empty.
std::string RegisteredCourseFolder(const Book& book);

// Installed: its course folder is registered, or its lesson list lies below "BOOKS" in the
// current directory, in the long-named or the short-named folder.
bool BookInstalled(const Book& book);

// The folder of a listed book's lesson files, ending in a backslash: below "books\" of the
// registered course folder (else of the current directory), the folder named like the entry
// if it exists, else the short-named one if it exists, else the long-named one. The book is
// the entry's in the book table, or none.
std::string BookFolder(const std::string& listEntry, const Book* book);
