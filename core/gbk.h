// Character boundaries in GBK (code page 936) byte strings.
#pragma once

#include <cstddef>

inline bool IsGbkLeadByte(unsigned char c) {
  return c >= 0x81 && c <= 0xFE;
}
inline bool IsGbkTrailByte(unsigned char c) {
  return c >= 0x40 && c <= 0xFE && c != 0x7F;
}

// The longest prefix of text[0..length) that is at most limit bytes and does not end in the
// middle of a double-byte character.
std::size_t GbkPrefixLength(const char* text, std::size_t length, std::size_t limit);

// True when the last byte of text[0..length) is a character of its own, not the second byte of
// a double-byte character.
bool GbkLastByteIsSingle(const char* text, std::size_t length);
