#include "core/string_helpers.h"

#include <cstring>

#include "core/gbk.h"

std::string ShortStringToString(const unsigned char* shortString) {
  return std::string(reinterpret_cast<const char*>(shortString + 1), shortString[0]);
}

std::string AddTrailingBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\' && GbkLastByteIsSingle(path.data(), path.size())) {
    return path;
  }
  return path + '\\';
}

void ShiftBytes(void* block, std::size_t count, std::ptrdiff_t distance) {
  if (distance == 0 || count == 0) return;
  unsigned char* from = static_cast<unsigned char*>(block);
  std::memmove(from + distance, from, count);
}

void TrimLineEnd(char* line) {
  std::size_t length = std::strlen(line);
  while (length > 0) {
    char c = line[length - 1];
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') break;
    --length;
  }
  line[length] = '\0';
}
