// Small string, path and byte helpers shared by the conversion, the import run and the skin.
#pragma once

#include <cstddef>
#include <string>

// A length-prefixed string (one length byte, then that many bytes) as a string.
std::string ShortStringToString(const unsigned char* shortString);

// The folder path with a backslash at its end. Decides by character, so a path that ends in a
// double-byte character whose second byte is 0x5C still gets its backslash.
std::string AddTrailingBackslash(const std::string& path);

// Moves count bytes starting at block so that they start at block + distance; overlapping
// ranges are moved correctly.
void ShiftBytes(void* block, std::size_t count, std::ptrdiff_t distance);

// Removes trailing spaces, tabs, CR and LF in place.
void TrimLineEnd(char* line);
